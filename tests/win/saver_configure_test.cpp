// The configuration mode as the program runs it: the modal settings sheet of
// the application object, and what OK and Cancel leave in the registry.
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "saver/resource.h"
#include "saver/saver_app.h"
#include "settings/settings_ids.h"

namespace {

const int kGeneralTab = 2, kTextTab = 3;

// The sheet is changed and left with OK or Cancel from a timer inside its loop.
bool g_pressOk = false;
bool g_sheetDriven = false;

void CALLBACK ChangeBlendAndTextThenLeave(HWND, UINT, UINT_PTR, DWORD) {
  HWND sheet = FindWindowA(nullptr, "Configure Verivir");
  if (!sheet || g_sheetDriven) return;
  g_sheetDriven = true;
  SendMessageA(sheet, PSM_SETCURSEL, kGeneralTab, 0);
  auto page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
  SendMessageA(GetDlgItem(page, IDC_BLEND), BM_CLICK, 0, 0);
  SendMessageA(sheet, PSM_SETCURSEL, kTextTab, 0);
  page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
  SetDlgItemTextA(page, IDC_TEXT, "Stored by OK");
  SendMessageA(GetDlgItem(sheet, g_pressOk ? IDOK : IDCANCEL), BM_CLICK, 0, 0);
}

std::string StoredText(const char* section, const char* name, DWORD* number = nullptr) {
  std::string key =
      std::string("Software\\Morvel Software Development\\Screen Savers\\Verivir\\1.1\\") + section;
  char buffer[256] = {};
  DWORD type = 0, size = sizeof buffer;
  if (SHGetValueA(HKEY_CURRENT_USER, key.c_str(), name, &type, buffer, &size) != ERROR_SUCCESS)
    return "(missing)";
  if (number) memcpy(number, buffer, sizeof *number);
  return type == REG_SZ ? std::string(buffer) : std::string("(number)");
}

TEST(ConfigureMode, StoresAndSavesOnOkOnly) {
  CSaverApp app;
  const char kRoot[] = "Software\\Morvel Software Development";
  SHDeleteKeyA(HKEY_CURRENT_USER, kRoot);
  app.m_pszAppName = "Verivir";
  app.SetRegistryKey(IDS_REGISTRY_KEY);
  app.settings.blend = false;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, ChangeBlendAndTextThenLeave);

  g_pressOk = false;
  g_sheetDriven = false;
  app.ShowSettings();
  EXPECT_TRUE(g_sheetDriven);
  EXPECT_FALSE(app.settings.blend) << "Cancel takes nothing over";
  EXPECT_NE(app.settings.text, "Stored by OK");
  EXPECT_EQ(StoredText("Text", "Text"), "(missing)") << "and saves nothing";

  g_pressOk = true;
  g_sheetDriven = false;
  app.ShowSettings();
  KillTimer(nullptr, timer);
  EXPECT_TRUE(g_sheetDriven);
  EXPECT_TRUE(app.settings.blend);
  EXPECT_EQ(app.settings.text, "Stored by OK");
  DWORD blend = 0;
  EXPECT_EQ(StoredText("General", "Blend", &blend), "(number)");
  EXPECT_EQ(blend, 1u);
  EXPECT_EQ(StoredText("Text", "Text"), "Stored by OK");
  SHDeleteKeyA(HKEY_CURRENT_USER, kRoot);
}

}  // namespace
