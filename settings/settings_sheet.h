// The settings sheet: five pages over a scene settings record.
#pragma once
#include "framework/propsheet.h"
#include "scene/scene_settings.h"
#include "settings/about_page.h"
#include "settings/general_page.h"
#include "settings/gl_page.h"
#include "settings/text_page.h"
#include "settings/zazozeru_page.h"

class CSettingsSheet : public CPropertySheet {
  DECLARE_DYNAMIC(CSettingsSheet)
 public:
  // Adds the pages and loads their values from settings, which must outlive the
  // sheet: Apply and StorePages write into it.
  explicit CSettingsSheet(SceneSettings& settings);
  ~CSettingsSheet() override;

  // Writes the page values into the settings.
  void StorePages();

  CAboutPage _about;
  CGeneralPage _general;
  CTextPage _text;
  ZAzozeruPage _zazozeru;
  CGLPage _gl;

 protected:
  BOOL OnCmdMsg(UINT id, int code) override;

 private:
  void LoadPages();

  SceneSettings& _settings;
};
