// The "Verivir" page: the big and the small sphere.
#pragma once
#include "framework/controls.h"
#include "framework/propsheet.h"

class ZAzozeruPage : public CPropertyPage {
  DECLARE_DYNCREATE(ZAzozeruPage)
 public:
  ZAzozeruPage();
  ~ZAzozeruPage() override;

  // List and radio selections are zero-based indexes, -1 for none.
  int _bigDensity = -1;
  int _smallDensity = -1;
  int _bigGestalt = -1;
  int _smallGestalt = -1;
  int _bigShow = 0;
  int _smallShow = 0;
  int _smallColor = 0;
  int _bigColor = 0;

 protected:
  BOOL OnCmdMsg(UINT id, int code) override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnInitDialog() override;

 private:
  void OnModified();
  void EnableBig(BOOL enable);
  void EnableSmall(BOOL enable);
  CToolTipCtrl _tooltip;
};
