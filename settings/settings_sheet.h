// The settings sheet: five pages over a scene settings record.
//
// Failures in the settings dialog follow the framework's (FALSE, null) and
// are never shown: a page shows what it could find out ("not available" on
// the OpenGL page), a link that cannot be opened does nothing.
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
  // The pages edit a copy of settings, which must outlive the sheet: Apply
  // and OK write the copy back into it, Cancel leaves it as it is.
  explicit CSettingsSheet(SceneSettings& settings);
  ~CSettingsSheet() override;

 protected:
  BOOL OnCmdMsg(UINT id, int code) override;

 private:
  SceneSettings& _settings;
  SceneSettings _edited;
  CAboutPage _about;
  CGeneralPage _general;
  CTextPage _text;
  ZAzozeruPage _zazozeru;
  CGLPage _gl;
};
