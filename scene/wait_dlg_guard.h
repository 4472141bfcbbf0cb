// Shows the wait dialog and raises the scene's _preparing flag for its lifetime.
#pragma once

class CWaitDlg;
class ZAzozeru;

class CWaitDlgGuard {
 public:
  explicit CWaitDlgGuard(ZAzozeru* scene);
  ~CWaitDlgGuard();
  CWaitDlgGuard(const CWaitDlgGuard&) = delete;
  CWaitDlgGuard& operator=(const CWaitDlgGuard&) = delete;

 private:
  CWaitDlg* _dialog;  // owned
  ZAzozeru* _scene;   // not owned
};
