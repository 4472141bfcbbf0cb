#include "framework/propsheet.h"

#include "framework/app.h"
#include "xtl/unicode.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

namespace {

// Fills lists from the dialog's initial data (resource type 240): records of
// control id, 16-bit add-string message, byte count and text, ended by id 0.
void ExecuteDlgInit(HWND dlg, UINT templateId) {
  HINSTANCE inst = AfxGetResourceHandle();
  HRSRC res = FindResourceW(inst, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(240));
  if (!res) return;
  const auto* p = static_cast<const BYTE*>(LockResource(LoadResource(inst, res)));
  const BYTE* end = p + SizeofResource(inst, res);
  while (p && p + 8 <= end) {
    WORD id, msg;
    DWORD length;
    memcpy(&id, p, 2);
    memcpy(&msg, p + 2, 2);
    memcpy(&length, p + 4, 4);
    if (id == 0) break;
    p += 8;
    if (p + length > end) break;
    const char* text = reinterpret_cast<const char*>(p);
    if (msg == 0x0403)
      SendDlgItemMessageA(dlg, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (msg == 0x0401)
      SendDlgItemMessageA(dlg, id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    p += length;
  }
}

// Pages are created by the sheet control when first shown; the page object
// rides in the record's lParam and takes the window over at WM_INITDIALOG.
// The sheet is made with the wide functions, so the pages' controls are
// Unicode windows: an edit box takes any character.
INT_PTR CALLBACK AfxPropPageProc(HWND hwnd, UINT msg, WPARAM, LPARAM lParam) {
  if (msg != WM_INITDIALOG) return FALSE;
  auto* psp = reinterpret_cast<PROPSHEETPAGEW*>(lParam);
  auto* page = reinterpret_cast<CPropertyPage*>(psp->lParam);
  if (!page || !page->SubclassWindow(hwnd)) return TRUE;
  ExecuteDlgInit(hwnd, page->m_nIDTemplate);
  return page->OnInitDialog();
}

}  // namespace

CPropertyPage::CPropertyPage(UINT templateId) : CDialog(templateId), m_psp() {
  m_psp.dwSize = sizeof m_psp;
  m_psp.dwFlags = PSP_DEFAULT;
  m_psp.pszTemplate = MAKEINTRESOURCEW(templateId);
  m_psp.pfnDlgProc = AfxPropPageProc;
  m_psp.lParam = reinterpret_cast<LPARAM>(this);
}

void CPropertyPage::SetModified(BOOL changed) {
  if (!m_hWnd) return;  // a page never opened has nothing to report
  ::SendMessageA(::GetParent(m_hWnd), changed ? PSM_CHANGED : PSM_UNCHANGED,
                 reinterpret_cast<WPARAM>(m_hWnd), 0);
}

BOOL CPropertyPage::OnSetActive() {
  // The first activation follows OnInitDialog, which already filled the controls.
  if (m_firstSetActive)
    m_firstSetActive = false;
  else
    UpdateData(FALSE);
  return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

BOOL CPropertyPage::OnApply() {
  OnOK();
  return TRUE;
}

void CPropertyPage::OnReset() { OnCancel(); }

BOOL CPropertyPage::OnCmdMsg(UINT, int) { return FALSE; }

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto* hdr = reinterpret_cast<NMHDR*>(lParam);
  if (hdr->hwndFrom != GetParent()) return CDialog::OnNotify(wParam, lParam, result);
  switch (hdr->code) {
    case PSN_SETACTIVE:
      *result = OnSetActive() ? 0 : -1;
      break;
    case PSN_KILLACTIVE:
      *result = OnKillActive() ? FALSE : TRUE;
      break;
    case PSN_APPLY:
      *result = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
      break;
    case PSN_RESET:
      OnReset();
      *result = 0;
      break;
    case PSN_QUERYCANCEL:
      *result = OnQueryCancel() ? FALSE : TRUE;
      break;
    default:
      return CDialog::OnNotify(wParam, lParam, result);
  }
  // Callers that go through the dialog manager read the result from here.
  ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, *result);
  return TRUE;
}

CPropertySheet::CPropertySheet(UINT captionId, CWnd* parent, UINT selectPage)
    : CPropertySheet(AfxLoadString(captionId).c_str(), parent, selectPage) {}

CPropertySheet::CPropertySheet(const char* caption, CWnd* parent, UINT selectPage)
    : m_strCaption(caption ? caption : ""),
      m_pParentWnd(parent),
      m_nStartPage(selectPage),
      m_psh() {}

CPropertyPage* CPropertySheet::GetActivePage() const {
  if (!m_hWnd) return nullptr;
  auto page = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0));
  return dynamic_cast<CPropertyPage*>(FromHandlePermanent(page));
}

BOOL CPropertySheet::Create(CWnd* parent) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  m_result = IDCANCEL;
  m_pageRecords.clear();
  for (CPropertyPage* page : m_pages) {
    page->m_psp.hInstance = AfxGetResourceHandle();
    m_pageRecords.push_back(page->m_psp);
  }
  m_psh = {};
  m_psh.dwSize = sizeof m_psh;
  // Always modeless: our own loop lets the active page see messages first
  // (tooltips), which the system's modal loop would not.
  m_psh.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS;
  m_psh.hwndParent = parent ? parent->m_hWnd : nullptr;
  m_psh.hInstance = AfxGetResourceHandle();
  m_caption = xtl::unicode::wide_from_utf8(m_strCaption);
  m_psh.pszCaption = m_caption.c_str();
  m_psh.nPages = static_cast<UINT>(m_pageRecords.size());
  m_psh.nStartPage = m_nStartPage;
  m_psh.ppsp = m_pageRecords.data();
  AfxHookWindowCreate(this);
  auto hwnd = reinterpret_cast<HWND>(PropertySheetW(&m_psh));
  AfxUnhookWindowCreate();
  if (!hwnd || hwnd == reinterpret_cast<HWND>(-1)) return FALSE;
  if (m_hWnd != hwnd) {  // the hook caught another window first
    if (m_hWnd) UnsubclassWindow();
    SubclassWindow(hwnd);
  }
  return TRUE;
}

bool CPropertySheet::IsFinished() const {
  return !m_hWnd || !::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0);
}

BOOL CPropertySheet::PumpMessage(bool wait) {
  MSG msg;
  if (wait) {
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the outer loop
      return FALSE;
    }
  } else if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    return TRUE;
  } else if (msg.message == WM_QUIT) {
    PostQuitMessage(static_cast<int>(msg.wParam));
    return FALSE;
  }
  if (!PreTranslateMessage(&msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return TRUE;
}

INT_PTR CPropertySheet::DoModal() {
  HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
  if (!Create(m_pParentWnd)) return -1;
  bool reenable = parent && ::IsWindowEnabled(parent);
  if (reenable) ::EnableWindow(parent, FALSE);
  while (!IsFinished() && PumpMessage(true)) {
  }
  if (reenable) ::EnableWindow(parent, TRUE);
  DestroyWindow();
  return m_result;
}

BOOL CPropertySheet::PreTranslateMessage(MSG* msg) {
  CPropertyPage* page = GetActivePage();
  if (page && page->PreTranslateMessage(msg)) return TRUE;
  return static_cast<BOOL>(
      ::SendMessageA(m_hWnd, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(msg)));
}

BOOL CPropertySheet::OnCmdMsg(UINT id, int code) {
  if (id == IDOK && (code == BN_CLICKED || code == 0)) {
    Default();
    if (IsFinished()) m_result = IDOK;
    return TRUE;
  }
  return CWnd::OnCmdMsg(id, code);
}
