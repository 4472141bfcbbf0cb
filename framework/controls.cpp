#include "framework/controls.h"

#include "framework/app.h"

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
  m_owner = parent ? parent->m_hWnd : nullptr;
  return CreateEx(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, m_owner, nullptr);
}

BOOL CToolTipCtrl::AddTool(HWND tool, const char* text) {
  // The A-sized record without the newer trailing fields works on every comctl32.
  TTTOOLINFOA ti = {};
  ti.cbSize = TTTOOLINFOA_V1_SIZE;
  ti.uFlags = TTF_IDISHWND;  // mouse messages come through RelayEvent
  ti.hwnd = m_owner;
  ti.uId = reinterpret_cast<UINT_PTR>(tool);
  ti.hinst = nullptr;
  ti.lpszText = const_cast<char*>(text);
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

BOOL CToolTipCtrl::AddTool(HWND tool, UINT textId) {
  std::string text = AfxLoadString(textId);
  return AddTool(tool, text.c_str());  // the control keeps its own copy
}

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (msg == WM_DRAWITEM) {
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    *result = TRUE;
    return TRUE;
  }
  if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) return OnClicked();
  return CWnd::OnChildNotify(msg, wParam, lParam, result);
}

int CListCtrl::InsertColumn(int col, const char* heading, int format, int width) {
  LVCOLUMNA c = {};
  c.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  c.fmt = format;
  c.cx = width;
  c.pszText = const_cast<char*>(heading);
  c.iSubItem = col;
  return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, col, reinterpret_cast<LPARAM>(&c)));
}

int CListCtrl::InsertItem(int item, const char* text) {
  LVITEMA it = {};
  it.mask = LVIF_TEXT;
  it.iItem = item;
  it.pszText = const_cast<char*>(text);
  return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it)));
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text) {
  LVITEMA it = {};
  it.iSubItem = subItem;
  it.pszText = const_cast<char*>(text);
  return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, item, reinterpret_cast<LPARAM>(&it)));
}

std::string CListCtrl::GetItemText(int item, int subItem) {
  char buffer[512] = {};
  LVITEMA it = {};
  it.iSubItem = subItem;
  it.pszText = buffer;
  it.cchTextMax = sizeof buffer;
  SendMessage(LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&it));
  return buffer;
}

BOOL CListCtrl::SetItemData(int item, DWORD_PTR data) {
  LVITEMA it = {};
  it.mask = LVIF_PARAM;
  it.iItem = item;
  it.lParam = static_cast<LPARAM>(data);
  return static_cast<BOOL>(SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it)));
}

DWORD_PTR CListCtrl::GetItemData(int item) {
  LVITEMA it = {};
  it.mask = LVIF_PARAM;
  it.iItem = item;
  if (!SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) return 0;
  return static_cast<DWORD_PTR>(it.lParam);
}
