// The "General" page: OpenGL switches of the scene.
#pragma once
#include "framework/controls.h"
#include "framework/propsheet.h"
#include "scene/scene_settings.h"

class CGeneralPage : public CPropertyPage {
 public:
  // Binds the controls to the fields of settings, which must outlive the page.
  explicit CGeneralPage(SceneSettings& settings);
  ~CGeneralPage() override;

 protected:
  BOOL OnCmdMsg(UINT id, int code) override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnInitDialog() override;

 private:
  void OnModified();
  SceneSettings& _settings;
  CToolTipCtrl _tooltip;
};
