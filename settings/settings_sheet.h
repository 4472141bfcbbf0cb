// The settings sheet: five pages over the scene settings of the application.
#pragma once
#include "framework/propsheet.h"
#include "settings/about_page.h"
#include "settings/general_page.h"
#include "settings/gl_page.h"
#include "settings/text_page.h"
#include "settings/zazozeru_page.h"

class CSettingsSheet : public CPropertySheet {
  DECLARE_DYNAMIC(CSettingsSheet)
 public:
  // Adds the pages and loads their values from the application's settings.
  CSettingsSheet();
  ~CSettingsSheet() override;

  // Writes the page values into the application's settings.
  void StorePages();

  CAboutPage m_about;
  CGeneralPage m_general;
  CTextPage m_text;
  ZAzozeruPage m_zazozeru;
  CGLPage m_gl;

 protected:
  BOOL OnCmdMsg(UINT id, int code) override;

 private:
  void LoadPages();
};
