// The modeless "please wait" dialog with a looping clip, shown while a scene
// prepares its OpenGL objects.
#pragma once
#include "framework/dialog.h"

class CWaitDlg : public CDialog {
 public:
  CWaitDlg();
  ~CWaitDlg() override;

  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;

  CAnimateCtrl _animate;
};
