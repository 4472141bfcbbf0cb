// The "Verivir" page: the big and the small sphere.
#pragma once
#include "framework/controls.h"
#include "framework/propsheet.h"
#include "scene/scene_settings.h"

class ZAzozeruPage : public CPropertyPage {
  DECLARE_DYNAMIC(ZAzozeruPage)
 public:
  // Binds the controls to the fields of settings, which must outlive the page.
  explicit ZAzozeruPage(SceneSettings& settings);
  ~ZAzozeruPage() override;

 protected:
  BOOL OnCmdMsg(UINT id, int code) override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnInitDialog() override;

 private:
  void OnModified();
  void EnableBig(BOOL enable);
  void EnableSmall(BOOL enable);
  SceneSettings& _settings;
  CToolTipCtrl _tooltip;
};
