// The "General" page: OpenGL switches of the scene.
#pragma once
#include "framework/controls.h"
#include "framework/propsheet.h"

class CGeneralPage : public CPropertyPage {
 public:
  CGeneralPage();
  ~CGeneralPage() override;

  // Booleans as the data exchange keeps them (0 or 1).
  int m_blend = 0;
  int m_alpha = 0;
  int m_dither = 0;
  int m_lights = 0;
  int m_smooth = 0;
  int m_displayLists = 0;

 protected:
  BOOL OnCmdMsg(UINT id, int code) override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnInitDialog() override;

 private:
  void OnModified();
  CToolTipCtrl m_tooltip;
};
