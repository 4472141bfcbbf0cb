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
  int m_bigDensity = -1;
  int m_smallDensity = -1;
  int m_bigGestalt = -1;
  int m_smallGestalt = -1;
  int m_bigShow = 0;
  int m_smallShow = 0;
  int m_smallColor = 0;
  int m_bigColor = 0;

 protected:
  BOOL OnCmdMsg(UINT id, int code) override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnInitDialog() override;

 private:
  void OnModified();
  void EnableBig(BOOL enable);
  void EnableSmall(BOOL enable);
  CToolTipCtrl m_tooltip;
};
