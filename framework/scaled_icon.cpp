#include "framework/scaled_icon.h"

#include <commctrl.h>

#include "framework/dpi.h"
#include "xtl/dpi_scale.h"

namespace {

const UINT_PTR kSubclassId = 0x5C1C;

struct ScaledIcon {
  HINSTANCE instance;
  UINT id;
  HICON icon;  // ours; the dialog manager's own is shared and never destroyed
  int size;
};

// The width of the icon a control shows, 0 for none.
int ShownSize(HWND control) {
  HICON shown = reinterpret_cast<HICON>(SendMessageA(control, STM_GETICON, 0, 0));
  ICONINFO info = {};
  if (!shown || !GetIconInfo(shown, &info)) return 0;
  BITMAP mask = {};
  GetObjectA(info.hbmMask, sizeof mask, &mask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return mask.bmWidth;
}

void Apply(HWND control, ScaledIcon& s) {
  const int size = xtl::scale_to_dpi(32, AfxGetDpiForWindow(control));
  // The system's icon size may follow the scaling while the file has no image
  // of that size: what counts is the size shown.
  if (size == s.size || (!s.icon && size == ShownSize(control))) return;
  HICON icon =
      static_cast<HICON>(LoadImageA(s.instance, MAKEINTRESOURCEA(s.id), IMAGE_ICON, size, size, 0));
  if (!icon) return;
  SendMessageA(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  if (s.icon) DestroyIcon(s.icon);
  s.icon = icon;
  s.size = size;
}

LRESULT CALLBACK IconControlProc(HWND control, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR data) {
  auto* s = reinterpret_cast<ScaledIcon*>(data);
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(control, IconControlProc, kSubclassId);
    if (s->icon) DestroyIcon(s->icon);
    delete s;
  } else if (msg == WM_DPICHANGED_AFTERPARENT) {
    Apply(control, *s);
  }
  return DefSubclassProc(control, msg, wParam, lParam);
}

}  // namespace

void AfxScaleDialogIcons(HWND dialog, HINSTANCE instance, UINT id) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char cls[16] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") != 0 ||
        (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
      continue;
    auto* s = new ScaledIcon{instance, id, nullptr, 0};
    if (!SetWindowSubclass(child, IconControlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(s))) {
      delete s;
      continue;
    }
    Apply(child, *s);
  }
}
