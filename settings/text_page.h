// The "Text" page: the ring of text around the big sphere.
#pragma once
#include "framework/controls.h"
#include "framework/propsheet.h"
#include "scene/scene_settings.h"

class CTextPage : public CPropertyPage {
  DECLARE_DYNAMIC(CTextPage)
 public:
  // Binds the controls to the fields of settings, which must outlive the page.
  explicit CTextPage(SceneSettings& settings);
  ~CTextPage() override;

 protected:
  BOOL OnCmdMsg(UINT id, int code) override;
  void OnHScroll(UINT code, UINT pos, HWND scrollBar) override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  void OnOK() override;

 private:
  void OnModified();
  void OnFont();
  void EnableTextControls(BOOL enable);
  SceneSettings& _settings;
  CSliderCtrl _slider;
  CToolTipCtrl _tooltip;
  // Filling the controls from the values changes the edit box; that is no edit.
  bool _filling = false;
};
