// The "General" page: OpenGL switches of the scene.
#pragma once
#include "framework/controls.h"
#include "framework/propsheet.h"

class CGeneralPage : public CPropertyPage {
 public:
  CGeneralPage();
  ~CGeneralPage() override;

  // Booleans as the data exchange keeps them (0 or 1).
  int _blend = 0;
  int _alpha = 0;
  int _dither = 0;
  int _lights = 0;
  int _smooth = 0;
  int _displayLists = 0;

 protected:
  BOOL OnCmdMsg(UINT id, int code) override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnInitDialog() override;

 private:
  void OnModified();
  CToolTipCtrl _tooltip;
};
