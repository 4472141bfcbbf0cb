// Dialogs from templates, modal or modeless, with data exchange.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/wnd.h"

class CDataExchange;

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)
 public:
  explicit CDialog(UINT templateId = 0, CWnd* parent = nullptr);

  // Modeless: creates the dialog window and returns at once.
  BOOL Create(UINT templateId, CWnd* parent = nullptr);
  BOOL Create(UINT templateId, HWND parent);
  // Modal: runs the dialog and returns the value passed to EndDialog.
  virtual INT_PTR DoModal();
  void EndDialog(int result);

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* dx);
  // FALSE: values to controls; TRUE: controls to values.
  BOOL UpdateData(BOOL saveAndValidate = TRUE);

  BOOL OnCmdMsg(UINT id, int code) override;
  BOOL PreTranslateMessage(MSG* msg) override;

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;

 private:
  friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
  bool m_modal = false;
};

INT_PTR CALLBACK AfxDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Moves values between a dialog's controls and its members.
class CDataExchange {
 public:
  CDataExchange(CWnd* dlg, BOOL saveAndValidate)
      : m_pDlgWnd(dlg), m_bSaveAndValidate(saveAndValidate) {}
  HWND PrepareCtrl(int id) { return ::GetDlgItem(m_pDlgWnd->m_hWnd, id); }
  CWnd* m_pDlgWnd;
  BOOL m_bSaveAndValidate;
};

void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Check(CDataExchange* dx, int id, int& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
// text is UTF-8; the control is read and written wide.
void DDX_Text(CDataExchange* dx, int id, std::string& text);
// A radio group starting at id: value is the zero-based index of the checked button, or -1.
void DDX_Radio(CDataExchange* dx, int id, int& value);
// A check box as a flag: only a ticked box is true.
void DDX_Check(CDataExchange* dx, int id, bool& value);
// A list or radio group (exchange is DDX_CBIndex or DDX_Radio) over a stored
// value that it may have no entry for: with nothing selected, value stays.
void DDX_Kept(CDataExchange* dx, int id, int& value, void (*exchange)(CDataExchange*, int, int&));

// The animation control of the common controls.
class CAnimateCtrl : public CWnd {
 public:
  BOOL Open(UINT resourceId) {
    return static_cast<BOOL>(
        SendMessage(ACM_OPENA, 0, reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(resourceId))));
  }
  BOOL Play(UINT from, UINT to, UINT repeat) {
    return static_cast<BOOL>(SendMessage(ACM_PLAY, repeat, MAKELPARAM(from, to)));
  }
};

// The hourglass while something slow runs on this thread.
class CWaitCursor {
 public:
  CWaitCursor() : m_previous(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
  ~CWaitCursor() { SetCursor(m_previous); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;

 private:
  HCURSOR m_previous;
};
