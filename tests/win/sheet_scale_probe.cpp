// Opens the settings sheet in a process of its own, which reads the display
// scaling at its start, and writes what scales with it: "name value" lines
// into the file of argv[1]; argv[2], when given, receives a PNG of the sheet.
#include <windows.h>

#include <cstdio>
#include <memory>

#include "framework/dpi.h"
#include "framework/app.h"
#include "scene/scene_settings.h"
#include "settings/settings_sheet.h"
#include "tests/win/sheet_test_support.h"

namespace {

CWinApp app;
SceneSettings settings;

void Pump(CSettingsSheet& sheet) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
    if (msg.message == WM_QUIT || !sheet.PumpMessage(false)) return;
}

bool Hovers(CLinkButton& link, int x, int y) {
  SendMessageA(link.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  const bool hovering = link.Hovering();
  link.EndHover();
  return hovering;
}

void WriteLink(FILE* out, const char* name, CLinkButton& link) {
  const RECT r = link.TextRect();
  RECT client;
  GetClientRect(link.m_hWnd, &client);
  const int midY = (r.top + r.bottom) / 2;
  std::fprintf(out, "%s_w %ld\n%s_h %ld\n", name, r.right - r.left, name, r.bottom - r.top);
  // The hand must show over the last letters and not past them.
  std::fprintf(out, "%s_hit_end %d\n", name, Hovers(link, r.right - 2, midY) ? 1 : 0);
  if (r.right + 2 < client.right)
    std::fprintf(out, "%s_hit_beyond %d\n", name, Hovers(link, r.right + 2, midY) ? 1 : 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  auto sheet = std::make_unique<CSettingsSheet>(settings);
  if (!sheet->Create()) return 3;
  Pump(*sheet);
  FILE* out = std::fopen(argv[1], "w");
  if (!out) return 4;
  CAboutPage& about = *static_cast<CAboutPage*>(sheet->GetPage(0));
  RECT page, frame;
  GetClientRect(about.m_hWnd, &page);
  GetWindowRect(sheet->m_hWnd, &frame);
  TEXTMETRICA tm = {};
  HDC dc = GetDC(about.m_hWnd);
  HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(about.m_hWnd, WM_GETFONT, 0, 0)));
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(about.m_hWnd, dc);
  std::fprintf(out, "dpi %u\n", AfxGetDpiForWindow(sheet->m_hWnd));
  using IsAwareFn = BOOL(WINAPI*)();
  auto isAware = reinterpret_cast<IsAwareFn>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("user32.dll"), "IsProcessDPIAware")));
  std::fprintf(out, "aware %d\n", isAware ? isAware() : -1);
  std::fprintf(out, "page_w %ld\npage_h %ld\n", page.right, page.bottom);
  std::fprintf(out, "sheet_w %ld\nsheet_h %ld\n", frame.right - frame.left,
               frame.bottom - frame.top);
  std::fprintf(out, "font_h %ld\n", tm.tmHeight);
  // Pixels of 400 horizontal and 800 vertical dialog units: what the page is made of.
  RECT units = {0, 0, 400, 800};
  MapDialogRect(about.m_hWnd, &units);
  std::fprintf(out, "dlu_x %ld\ndlu_y %ld\n", units.right, units.bottom);
  // Controls that the page cuts off: a page that did not grow with its controls.
  int outside = 0;
  HWND iconControl = nullptr;
  for (HWND child = GetWindow(about.m_hWnd, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, about.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    char cls[16] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0 &&
        (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
      iconControl = child;
    if (IsWindowVisible(child) &&
        (r.left < 0 || r.top < 0 || r.right > page.right || r.bottom > page.bottom))
      ++outside;
  }
  std::fprintf(out, "controls_cut_off %d\n", outside);
  ICONINFO icon = {};
  BITMAP mask = {};
  HICON shown = reinterpret_cast<HICON>(SendMessageA(iconControl, STM_GETICON, 0, 0));
  if (shown && GetIconInfo(shown, &icon)) {
    GetObjectA(icon.hbmMask, sizeof mask, &mask);
    if (icon.hbmColor) DeleteObject(icon.hbmColor);
    DeleteObject(icon.hbmMask);
  }
  std::fprintf(out, "icon_w %ld\n", mask.bmWidth);
  WriteLink(out, "home", about.GetLink(CAboutPage::kHome));
  WriteLink(out, "mail", about.GetLink(CAboutPage::kMail));
  WriteLink(out, "update", about.GetLink(CAboutPage::kUpdate));
  std::fclose(out);
  if (argc > 2) {
    SetForegroundWindow(sheet->m_hWnd);
    RedrawWindow(sheet->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(*sheet);
    if (!sheet_testing::SaveWindowPng(sheet->m_hWnd, argv[2])) return 5;
  }
  sheet->DestroyWindow();
  return 0;
}
