// Property sheets over the system's property sheet control.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "framework/dialog.h"

// The command id of the sheet's Apply button.
#define ID_APPLY_NOW 0x3021

class CPropertyPage : public CDialog {
  DECLARE_DYNAMIC(CPropertyPage)
 public:
  explicit CPropertyPage(UINT templateId);

  // Enables (TRUE) or disables the sheet's Apply button for this page.
  void SetModified(BOOL changed = TRUE);

  virtual BOOL OnSetActive();
  virtual BOOL OnKillActive();  // FALSE keeps the page active
  virtual BOOL OnApply();       // runs OnOK
  virtual void OnReset();       // runs OnCancel
  virtual BOOL OnQueryCancel() { return TRUE; }
  // A page neither ends nor closes the sheet itself.
  void OnOK() override {}
  void OnCancel() override {}

  BOOL OnCmdMsg(UINT id, int code) override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  // Tab and mnemonic keys are the sheet's matter.
  BOOL PreTranslateMessage(MSG* msg) override { return CWnd::PreTranslateMessage(msg); }

  PROPSHEETPAGEW m_psp;

 private:
  bool m_firstSetActive = true;
};

class CPropertySheet : public CWnd {
  DECLARE_DYNAMIC(CPropertySheet)
 public:
  CPropertySheet(UINT captionId, CWnd* parent = nullptr, UINT selectPage = 0);
  explicit CPropertySheet(const char* caption, CWnd* parent = nullptr, UINT selectPage = 0);

  void AddPage(CPropertyPage* page) { m_pages.push_back(page); }
  int GetPageCount() const { return static_cast<int>(m_pages.size()); }
  CPropertyPage* GetPage(int index) const { return m_pages[static_cast<size_t>(index)]; }
  CPropertyPage* GetActivePage() const;

  // Modal run: returns IDOK or IDCANCEL when the sheet has ended.
  virtual INT_PTR DoModal();
  // Modeless run: the sheet shows at once; the caller pumps with PumpMessage
  // until IsFinished and then calls DestroyWindow.
  BOOL Create(CWnd* parent = nullptr);
  // One pass of the message loop for this sheet; FALSE on WM_QUIT. Messages
  // are taken and dispatched wide, as the sheet's Unicode controls need.
  BOOL PumpMessage(bool wait);  // wait: block for one message; else take one if any
  bool IsFinished() const;
  // IDOK once the sheet ended with OK (or Close), else IDCANCEL.
  INT_PTR GetResult() const { return m_result; }

  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnCmdMsg(UINT id, int code) override;

  std::string m_strCaption;

 protected:
  CWnd* m_pParentWnd;
  UINT m_nStartPage;
  std::vector<CPropertyPage*> m_pages;
  std::vector<PROPSHEETPAGEW> m_pageRecords;
  PROPSHEETHEADERW m_psh;
  std::wstring m_caption;  // m_strCaption (UTF-8) as the header holds it
  INT_PTR m_result = IDCANCEL;
};
