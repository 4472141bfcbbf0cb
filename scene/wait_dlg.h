// The modeless "please wait" dialog with a looping clip, shown while a scene
// prepares its OpenGL objects.
#pragma once
#include <memory>

#include "framework/dialog.h"

class CWaitDlg : public CDialog {
 public:
  CWaitDlg();
  ~CWaitDlg() override;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;

 private:
  CAnimateCtrl _animate;
};

// Shows the wait dialog, centred on the desktop and in front, owned by the
// calling thread, which must keep pumping messages; destroying the returned
// object takes it away. Null when it cannot be shown: the scene is built
// without it.
std::unique_ptr<CWnd> CreateWaitDialog();
