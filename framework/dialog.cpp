#include "framework/dialog.h"

#include <commctrl.h>

#include "framework/app.h"
#include "xtl/unicode.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

INT_PTR CALLBACK AfxDlgProc(HWND hwnd, UINT msg, WPARAM, LPARAM) {
  if (msg != WM_INITDIALOG) return FALSE;
  auto* dlg = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hwnd));
  return dlg ? dlg->OnInitDialog() : TRUE;
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
  return Create(templateId, parent ? parent->m_hWnd : nullptr);
}

BOOL CDialog::Create(UINT templateId, HWND parent) {
  m_nIDTemplate = templateId;
  m_modal = false;
  AfxHookWindowCreate(this);
  HWND hwnd = CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(templateId), parent,
                                 AfxDlgProc, 0);
  AfxUnhookWindowCreate();
  return hwnd != nullptr;
}

INT_PTR CDialog::DoModal() {
  m_modal = true;
  AfxHookWindowCreate(this);
  INT_PTR result = DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                   m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, AfxDlgProc, 0);
  AfxUnhookWindowCreate();
  return result;
}

void CDialog::EndDialog(int result) {
  if (m_modal)
    ::EndDialog(m_hWnd, result);
  else
    DestroyWindow();
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return TRUE;
}

BOOL CDialog::OnCmdMsg(UINT id, int code) {
  if (code != BN_CLICKED && code != 0 && code != 1) return FALSE;
  if (id == IDOK) {
    OnOK();
    return TRUE;
  }
  if (id == IDCANCEL) {
    OnCancel();
    return TRUE;
  }
  return FALSE;
}

// The loops take messages wide; the system converts them for ANSI controls.
BOOL CDialog::PreTranslateMessage(MSG* msg) { return IsDialogMessageW(m_hWnd, msg); }

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (!control.m_hWnd) control.SubclassWindow(dx->PrepareCtrl(id));
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
  HWND ctrl = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate)
    value = static_cast<int>(SendMessageA(ctrl, BM_GETCHECK, 0, 0));
  else
    SendMessageA(ctrl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
  HWND ctrl = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate)
    index = static_cast<int>(SendMessageA(ctrl, CB_GETCURSEL, 0, 0));
  else
    SendMessageA(ctrl, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_Text(CDataExchange* dx, int id, std::string& text) {
  HWND ctrl = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate) {
    int n = GetWindowTextLengthW(ctrl);
    std::wstring buffer(static_cast<size_t>(n) + 1, L'\0');
    n = GetWindowTextW(ctrl, &buffer[0], n + 1);
    buffer.resize(static_cast<size_t>(n > 0 ? n : 0));
    text = xtl::unicode::utf8_from_wide(buffer);
  } else {
    SetWindowTextW(ctrl, xtl::unicode::wide_from_utf8(text).c_str());
  }
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
  HWND ctrl = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate) value = -1;
  // Walk the group from its first button to the next control that starts a group.
  int index = 0;
  for (HWND h = ctrl; h; h = GetWindow(h, GW_HWNDNEXT), ++index) {
    if (h != ctrl && (GetWindowLongPtrA(h, GWL_STYLE) & WS_GROUP)) break;
    if ((SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) == 0) continue;
    if (dx->m_bSaveAndValidate) {
      if (SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
    } else {
      SendMessageA(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
}

void DDX_Check(CDataExchange* dx, int id, bool& value) {
  int state = value ? BST_CHECKED : BST_UNCHECKED;
  DDX_Check(dx, id, state);
  if (dx->m_bSaveAndValidate) value = state == BST_CHECKED;
}

void DDX_Kept(CDataExchange* dx, int id, int& value, void (*exchange)(CDataExchange*, int, int&)) {
  int index = value;
  exchange(dx, id, index);
  if (index >= 0) value = index;
}
