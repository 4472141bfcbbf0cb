// Shared by the settings sheet tests: the sheet run modeless and driven by
// messages, page controls, screenshots as PNG files.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/app.h"
#include "scene/scene_settings.h"
#include "settings/settings_sheet.h"

namespace sheet_testing {

enum Tab { kAbout = 0, kOpenGL = 1, kGeneral = 2, kText = 3, kVerivir = 4 };

class SheetTest : public ::testing::Test {
 protected:
  void TearDown() override;

  // Builds the sheet over settings and shows it modeless.
  void Open();
  // Runs the sheet's message loop for a while (the page sees messages first).
  void Pump(DWORD ms = 30);
  // Pumps until pred holds or the time is up.
  bool PumpUntil(bool (*pred)(SheetTest*), DWORD timeoutMs = 5000);
  void Select(int tab);
  // The pages, as the sheet holds them.
  CAboutPage& AboutPage() const { return Page<CAboutPage>(kAbout); }
  CGLPage& GLPage() const { return Page<CGLPage>(kOpenGL); }
  CGeneralPage& GeneralPage() const { return Page<CGeneralPage>(kGeneral); }
  CTextPage& TextPage() const { return Page<CTextPage>(kText); }
  ZAzozeruPage& VerivirPage() const { return Page<ZAzozeruPage>(kVerivir); }
  HWND Item(const CPropertyPage& page, int id) const { return GetDlgItem(page.m_hWnd, id); }
  // A user's click on a dialog button (BN_CLICKED through the button itself).
  void Click(HWND button);
  void ClickSheetButton(int id) { Click(GetDlgItem(sheet->m_hWnd, id)); }
  bool ApplyEnabled() const;
  void Close();

  template <class P>
  P& Page(Tab tab) const {
    return *static_cast<P*>(sheet->GetPage(tab));
  }

  CWinApp app;
  SceneSettings settings;
  std::unique_ptr<CSettingsSheet> sheet;
};

// The folder of the test program (the build folder of the tests).
std::string ProgramFolder();
// Captures a top-level window from the screen into a PNG file; false on failure.
bool SaveWindowPng(HWND hwnd, const std::string& path);
// Encodes 8-bit RGB rows (top-down) as a PNG with stored deflate blocks.
std::string EncodePng(int width, int height, const std::string& rgb);

}  // namespace sheet_testing

namespace sheet_testing {

// Every option of two records, one expectation each.
void ExpectSameSettings(const SceneSettings& expected, const SceneSettings& actual);
// A record in which every option differs from its initial value.
SceneSettings EveryFieldChanged();

}  // namespace sheet_testing
