#include "settings/link_button.h"

#include <shellapi.h>

#include "framework/app.h"
#include "framework/dialog.h"
#include "framework/dpi.h"
#include "xtl/dpi_scale.h"

namespace {

// The underline is `line` pixels thick and ends on the text cell's last row.
void DrawTextLine(HDC dc, const RECT& r, POINT origin, const std::string& text, COLORREF color,
                  int offset, int line) {
  HPEN pen = CreatePen(PS_SOLID, line, color);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  COLORREF oldColor = SetTextColor(dc, color);
  TextOutA(dc, origin.x + offset, origin.y + offset, text.c_str(), static_cast<int>(text.size()));
  const int y = r.bottom - 1 - (line - 1) / 2 + offset;
  MoveToEx(dc, r.left + offset, y, nullptr);
  LineTo(dc, r.right + offset, y);
  SetTextColor(dc, oldColor);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

void FillBackground(HDC dc, const RECT& r, COLORREF color) {
  RECT fill = {r.left, r.top, r.left + (r.right - r.left) + 2, r.bottom};
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &fill, brush);
  DeleteObject(brush);
}

}  // namespace

CLinkButton::CLinkButton(UINT targetId)
    : _target(AfxLoadString(targetId)),
      _normalColor(RGB(0, 0, 192)),
      _pressedColor(RGB(255, 0, 0)),
      _visitedColor(RGB(128, 0, 128)),
      _hoverColor(RGB(192, 0, 192)),
      _backgroundColor(RGB(192, 192, 192)) {
  ReadSystemColors();
}

CLinkButton::~CLinkButton() {
  if (_boldFont) DeleteObject(_boldFont);
}

void CLinkButton::ReadSystemColors() {
  // On the classic grey scheme the link colours stay; on any other the system's apply.
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  if (face != _backgroundColor) {
    _normalColor = GetSysColor(COLOR_BTNTEXT);
    _visitedColor = GetSysColor(COLOR_GRAYTEXT);
    _backgroundColor = face;
    _pressedColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
  }
  HIGHCONTRASTA hc = {};
  hc.cbSize = sizeof hc;
  if (SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0))
    _highContrast = (hc.dwFlags & HCF_HIGHCONTRASTON) ? 1 : 0;
}

void CLinkButton::CreateBoldFont() {
  if (_boldFont) return;
  HFONT font = GetFont();
  LOGFONTA lf = {};
  GetObjectA(font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  lf.lfWeight = FW_BOLD;
  lf.lfItalic = FALSE;
  _boldFont = CreateFontIndirectA(&lf);
}

// The bold copy follows the dialog's font, which the system makes anew when the
// dialog moves to a monitor with another scaling.
void CLinkButton::RecreateBoldFont() {
  if (_boldFont) DeleteObject(_boldFont);
  _boldFont = nullptr;
  CreateBoldFont();
}

int CLinkButton::Px(int pixels) { return xtl::scale_to_dpi(pixels, AfxGetDpiForWindow(m_hWnd)); }

LRESULT CLinkButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CButton::WindowProc(msg, wParam, lParam);
  if (msg == WM_SETFONT) {
    RecreateBoldFont();
  } else if (msg == WM_DPICHANGED_AFTERPARENT) {
    RecreateBoldFont();
    InvalidateRect(m_hWnd, nullptr, TRUE);
  }
  return result;
}

BOOL CLinkButton::SubclassDlgItem(UINT id, CWnd* parent) {
  if (!CButton::SubclassDlgItem(id, parent)) return FALSE;
  CreateBoldFont();
  return TRUE;
}

int CLinkButton::OnCreate(LPCREATESTRUCTA cs) {
  int result = CButton::OnCreate(cs);
  if (result != -1) CreateBoldFont();
  return result;
}

void CLinkButton::OnDestroy() {
  CButton::OnDestroy();
  EndHover();
}

void CLinkButton::OnSysColorChange() {
  CButton::OnSysColorChange();
  ReadSystemColors();
}

bool CLinkButton::EndHover() {
  if (!_hovering) return false;
  ReleaseCapture();
  _hovering = 0;
  return true;
}

HFONT CLinkButton::DrawingFont() { return _highContrast && _boldFont ? _boldFont : GetFont(); }

CLinkButton::Layout CLinkButton::ComputeLayout(HDC dc) {
  RECT client;
  GetClientRect(&client);
  std::string text = GetWindowText();
  SIZE size = {};
  GetTextExtentPointA(dc, text.c_str(), static_cast<int>(text.size()), &size);
  Layout l;
  l.rect = {client.left, client.top, client.left + size.cx + 1, client.top + size.cy};
  int width = l.rect.right - l.rect.left;
  DWORD horizontal = GetStyle() & BS_CENTER;  // BS_CENTER is BS_LEFT | BS_RIGHT
  if (horizontal == BS_LEFT) {
    l.align = TA_LEFT | TA_TOP;
    l.origin = {l.rect.left, l.rect.top};
  } else if (horizontal == BS_RIGHT) {
    OffsetRect(&l.rect, client.right - l.rect.right, 0);
    l.align = TA_RIGHT | TA_TOP;
    l.origin = {l.rect.right - 1, l.rect.top};
  } else {
    OffsetRect(&l.rect, (client.right - client.left - width) / 2, 0);
    l.align = TA_CENTER | TA_TOP;
    l.origin = {l.rect.left + width / 2, l.rect.top};
  }
  return l;
}

RECT CLinkButton::TextRect() {
  HDC dc = ::GetDC(m_hWnd);
  HGDIOBJ oldFont = SelectObject(dc, DrawingFont());
  RECT r = ComputeLayout(dc).rect;
  SelectObject(dc, oldFont);
  ::ReleaseDC(m_hWnd, dc);
  return r;
}

void CLinkButton::DrawPlain(HDC dc, const Layout& l, COLORREF color) {
  SetBkMode(dc, TRANSPARENT);
  FillBackground(dc, l.rect, _backgroundColor);
  UINT oldAlign = SetTextAlign(dc, l.align);
  DrawTextLine(dc, l.rect, l.origin, GetWindowText(), color, 0, Px(1));
  SetTextAlign(dc, oldAlign);
}

void CLinkButton::DrawDisabled(HDC dc, const Layout& l) {
  SetBkMode(dc, TRANSPARENT);
  FillBackground(dc, l.rect, _backgroundColor);
  UINT oldAlign = SetTextAlign(dc, l.align);
  std::string text = GetWindowText();
  // An embossed look: a light copy one pixel down and right, the grey text over it.
  DrawTextLine(dc, l.rect, l.origin, text, GetSysColor(COLOR_BTNHIGHLIGHT), Px(1), Px(1));
  DrawTextLine(dc, l.rect, l.origin, text, GetSysColor(COLOR_GRAYTEXT), 0, Px(1));
  SetTextAlign(dc, oldAlign);
}

void CLinkButton::DrawItem(LPDRAWITEMSTRUCT dis) {
  COLORREF color;
  if (dis->itemAction == ODA_SELECT)
    color = _pressToggle ? _visitedColor : _pressedColor;
  else
    color = _hovering ? _hoverColor : _visited ? _visitedColor : _normalColor;
  HDC dc = dis->hDC;
  HPEN pen = CreatePen(PS_SOLID, Px(1), color);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldFont = SelectObject(dc, DrawingFont());
  COLORREF oldColor = SetTextColor(dc, color);
  Layout l = ComputeLayout(dc);
  switch (dis->itemAction) {
    case ODA_DRAWENTIRE:
      if (dis->itemState & ODS_DISABLED)
        DrawDisabled(dc, l);
      else
        DrawPlain(dc, l, color);
      if (dis->itemState & ODS_FOCUS) {
        DrawFocusRect(dc, &l.rect);
        _focusShown = 1;
      }
      break;
    case ODA_SELECT:
      DrawPlain(dc, l, color);
      _pressToggle = !_pressToggle;
      _visited = 1;
      if (dis->itemState & ODS_FOCUS) DrawFocusRect(dc, &l.rect);
      break;
    case ODA_FOCUS:
      _focusShown = (dis->itemState & ODS_FOCUS) ? 1 : 0;
      DrawFocusRect(dc, &l.rect);  // inverts, so a second call removes it
      break;
    default:
      break;
  }
  SetTextColor(dc, oldColor);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

void CLinkButton::RedrawIn(COLORREF color) {
  HDC dc = ::GetDC(m_hWnd);
  HGDIOBJ oldFont = SelectObject(dc, DrawingFont());
  Layout l = ComputeLayout(dc);
  DrawPlain(dc, l, color);
  if (_focusShown) DrawFocusRect(dc, &l.rect);
  SelectObject(dc, oldFont);
  ::ReleaseDC(m_hWnd, dc);
}

void CLinkButton::OnMouseMove(UINT flags, POINT pt) {
  if (_cursor) {
    RECT r = TextRect();
    if (PtInRect(&r, pt)) {
      if (GetCapture() != m_hWnd) SetCapture(m_hWnd);
      ::SetCursor(_cursor);
      if (!_hovering) {
        _hovering = 1;
        RedrawIn(_hoverColor);
      }
    } else {
      if (GetCapture() == m_hWnd) ReleaseCapture();
      if (_hovering) {
        _hovering = 0;
        RedrawIn(_visited ? _visitedColor : _normalColor);
      }
    }
  }
  CButton::OnMouseMove(flags, pt);
}

// Only a press on the text itself reaches the button.
void CLinkButton::OnLButtonDown(UINT flags, POINT pt) {
  if (_hovering) CButton::OnLButtonDown(flags, pt);
}

void CLinkButton::OnLButtonUp(UINT flags, POINT pt) {
  if (_hovering) CButton::OnLButtonUp(flags, pt);
}

BOOL CLinkButton::OnClicked() {
  CWaitCursor wait;
  // A program target ("Nuvora.exe Verivir,1,17") is split into the program and
  // its arguments; the program is looked for beside this one, where it is installed.
  std::string file = _target, parameters;
  size_t exe = file.find(".exe ");
  if (file.find(':') == std::string::npos && exe != std::string::npos) {
    parameters = file.substr(exe + 5);
    file.erase(exe + 4);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string beside = path;
    beside.erase(beside.find_last_of("\\/") + 1);
    beside += file;
    if (GetFileAttributesA(beside.c_str()) != INVALID_FILE_ATTRIBUTES) file = beside;
  }
  ShellExecuteA(m_hWnd, nullptr, file.c_str(), parameters.empty() ? nullptr : parameters.c_str(),
                nullptr, SW_HIDE);
  return TRUE;
}
