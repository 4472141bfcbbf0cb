#include "scene/wait_dlg.h"

#include <commctrl.h>

#include "scene/wait_dlg_resource.h"

CWaitDlg::CWaitDlg() : CDialog(IDD_WAIT, nullptr) {}

CWaitDlg::~CWaitDlg() = default;

void CWaitDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_WAIT_ANIMATE, _animate);
}

BOOL CWaitDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CenterWindow(GetDesktopWindow());
  // A missing clip is not worth a failure: the dialog shows without it.
  if (_animate.m_hWnd && _animate.Open(IDR_WAIT_AVI))
    _animate.Play(0, static_cast<UINT>(-1), static_cast<UINT>(-1));
  return TRUE;
}

std::unique_ptr<CWnd> CreateWaitDialog() {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_ANIMATE_CLASS};
  InitCommonControlsEx(&icc);
  auto dialog = std::make_unique<CWaitDlg>();
  if (!dialog->Create(IDD_WAIT, GetDesktopWindow())) return nullptr;
  return dialog;
}
