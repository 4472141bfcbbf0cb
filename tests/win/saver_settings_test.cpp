// Scene settings against the real registry of the test prefix.
#include <shlwapi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "saver/resource.h"
#include "saver/saver_app.h"
#include "tests/win/test_support.h"

namespace {

const char kRoot[] = "Software\\Morvel Software Development";
const char kSaver[] = "Software\\Morvel Software Development\\Screen Savers\\Verivir";

// Reads a value straight from the registry: its type and raw contents.
struct RawValue {
  bool exists = false;
  DWORD type = 0;
  DWORD number = 0;
  std::string text;
};

// The saver's key below subkey, opened to read or created to write; null
// when there is none.
HKEY Key(const std::string& subkey, bool write = false) {
  const std::string path = std::string(kSaver) + "\\" + subkey;
  HKEY key = nullptr;
  const LONG rc = write ? RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE,
                                          nullptr, &key, nullptr)
                        : RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key);
  return rc == ERROR_SUCCESS ? key : nullptr;
}

RawValue Read(const std::string& subkey, const char* name) {
  RawValue v;
  HKEY key = Key(subkey);
  if (!key) return v;
  char buffer[512] = {};
  DWORD size = sizeof buffer;
  if (RegQueryValueExA(key, name, nullptr, &v.type, reinterpret_cast<BYTE*>(buffer), &size) ==
      ERROR_SUCCESS) {
    v.exists = true;
    if (v.type == REG_DWORD) memcpy(&v.number, buffer, sizeof v.number);
    if (v.type == REG_SZ) v.text = buffer;
  }
  RegCloseKey(key);
  return v;
}

void WriteNumber(const std::string& subkey, const char* name, DWORD value) {
  HKEY key = Key(subkey, true);
  ASSERT_NE(key, nullptr);
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

void WriteText(const std::string& subkey, const char* name, const char* value) {
  HKEY key = Key(subkey, true);
  ASSERT_NE(key, nullptr);
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                 static_cast<DWORD>(strlen(value) + 1));
  RegCloseKey(key);
}

bool KeyExists(const std::string& subkey) {
  HKEY key = Key(subkey);
  if (key) RegCloseKey(key);
  return key != nullptr;
}

class SaverSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    SHDeleteKeyA(HKEY_CURRENT_USER, kRoot);
    // The test program has another file name; the settings live under "Verivir".
    app.m_pszAppName = "Verivir";
    app.SetRegistryKey(IDS_REGISTRY_KEY);
  }
  void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, kRoot); }

  CSaverApp app;
};

TEST(SaverAppName, FollowsTheProgramFileName) {
  CSaverApp app;
  EXPECT_EQ(app.m_pszAppName, "settings_tests");
  EXPECT_EQ(AfxGetApp(), &app);
  EXPECT_EQ(SaverApp(), &app);
}

TEST_F(SaverSettings, NoKeyGivesTheDefaultsAndSavingWritesTheWholeLayout) {
  EXPECT_FALSE(app.SettingsExist());
  EXPECT_FALSE(app.MigrateSettings());
  EXPECT_TRUE(app.LoadSettings());
  const SceneSettings& s = app.settings;
  EXPECT_EQ(s.text, "Morvel Software Development");
  EXPECT_EQ(s.font, "Times New Roman");
  EXPECT_EQ(s.textResolution, 1);
  EXPECT_EQ(s.textSize, 1);
  EXPECT_EQ(s.textSpeed, 1);
  EXPECT_EQ(s.bigDensity, 1);
  EXPECT_EQ(s.bigGestalt, 1);
  EXPECT_EQ(s.smallDensity, 1);
  EXPECT_EQ(s.smallGestalt, 1);
  EXPECT_TRUE(s.bigColor && s.bigShow && s.smallColor && s.smallShow && s.textShow && s.textColor);
  EXPECT_FALSE(s.blend || s.alpha || s.dither || s.lights || s.smooth);
  EXPECT_TRUE(s.doubleBuffer && s.genericAccel && s.displayLists);

  app.SaveSettings();
  EXPECT_TRUE(app.SettingsExist());
  const char* general[] = {"Blend", "Alpha", "Dither", "Lights", "Smooth", "DisplayLists"};
  for (const char* name : general) {
    RawValue v = Read("1.1\\General", name);
    EXPECT_TRUE(v.exists && v.type == REG_DWORD) << name;
  }
  EXPECT_EQ(Read("1.1\\General", "DisplayLists").number, 1u);
  EXPECT_FALSE(Read("1.1\\General", "DoubleBuffer").exists);
  EXPECT_FALSE(Read("1.1\\General", "GenericAccel").exists);
  RawValue text = Read("1.1\\Text", "Text");
  EXPECT_EQ(text.type, DWORD(REG_SZ));
  EXPECT_EQ(text.text, "Morvel Software Development");
  EXPECT_EQ(Read("1.1\\Text", "Speed").number, 1u);
  EXPECT_EQ(Read("1.1\\Big Sphere", "Gestalt").number, 1u);
  EXPECT_EQ(Read("1.1\\Small Sphere", "Show").number, 1u);
}

TEST_F(SaverSettings, OldLayoutIsMigratedOnceAndThenDeleted) {
  WriteNumber("1.0", "Big Sphere", 2);
  WriteNumber("1.0", "Small Sphere", 1);
  WriteNumber("1.0", "Big Sphere Color", 0);
  WriteNumber("1.0", "Small Sphere Density", 2);
  WriteNumber("1.0", "Text Size", 3);
  WriteText("1.0", "Text", "Old text");
  ASSERT_FALSE(app.SettingsExist());
  ASSERT_TRUE(app.MigrateSettings());
  const SceneSettings& s = app.settings;
  EXPECT_FALSE(s.bigShow);  // only exactly 1 counts
  EXPECT_TRUE(s.smallShow);
  EXPECT_FALSE(s.bigColor);
  EXPECT_TRUE(s.smallColor);  // missing: default 1
  EXPECT_EQ(s.smallDensity, 2);
  EXPECT_EQ(s.bigDensity, 1);
  EXPECT_EQ(s.textSize, 3);
  EXPECT_EQ(s.text, "Old text");
  EXPECT_EQ(s.font, "Times New Roman");
  // No counterpart in the old layout: the values the application started with.
  EXPECT_TRUE(s.lights);
  EXPECT_FALSE(s.displayLists);
  EXPECT_FALSE(s.textColor);
  EXPECT_EQ(s.bigGestalt, 0);
  EXPECT_FALSE(KeyExists("1.0"));
  EXPECT_FALSE(app.MigrateSettings());

  app.SaveSettings();
  EXPECT_EQ(Read("1.1\\Big Sphere", "Show").number, 0u);
  EXPECT_EQ(Read("1.1\\Text", "Text").text, "Old text");
  EXPECT_EQ(Read("1.1\\General", "Lights").number, 1u);
}

TEST_F(SaverSettings, PartialKeyFillsEveryOtherFieldWithItsDefault) {
  WriteText("1.1\\Text", "Text", "%H:%M:%S");
  app.settings.bigDensity = 0;
  app.settings.lights = true;
  ASSERT_TRUE(app.SettingsExist());
  app.LoadSettings();
  EXPECT_EQ(app.settings.text, "%H:%M:%S");
  EXPECT_EQ(app.settings.bigDensity, 1);
  EXPECT_FALSE(app.settings.lights);
  EXPECT_TRUE(app.settings.textColor);
}

// Only what changed is written: read-only values, and values kept as they
// were stored (a boolean stored as 7, a density the pages cannot show), stay.
TEST_F(SaverSettings, ReadOnlyAndUnchangedValuesAreNotRewritten) {
  WriteNumber("1.1\\General", "DoubleBuffer", 0);
  WriteNumber("1.1\\General", "Dither", 7);
  WriteNumber("1.1\\General", "Smooth", 7);
  WriteNumber("1.1\\Big Sphere", "Density", 7);
  app.LoadSettings();
  EXPECT_FALSE(app.settings.doubleBuffer);
  EXPECT_TRUE(app.settings.dither);
  EXPECT_EQ(app.settings.bigDensity, 7);
  app.settings.doubleBuffer = true;  // never written back, whatever the record says
  app.settings.smooth = false;
  app.settings.lights = true;
  app.SaveSettings();
  EXPECT_EQ(Read("1.1\\General", "DoubleBuffer").number, 0u);
  EXPECT_EQ(Read("1.1\\General", "Dither").number, 7u);
  EXPECT_EQ(Read("1.1\\Big Sphere", "Density").number, 7u);
  EXPECT_EQ(Read("1.1\\General", "Smooth").number, 0u);
  EXPECT_EQ(Read("1.1\\General", "Lights").number, 1u);
  EXPECT_FALSE(Read("1.1\\General", "Blend").exists) << "unchanged: not written";
}

// A preview started before the settings sheet ends after the sheet's OK: what
// the user saved stays, and an instance writes only what it changed itself.
TEST_F(SaverSettings, AnInstanceThatChangedNothingKeepsWhatAnotherSaved) {
  WriteText("1.1\\Text", "Text", "Before");
  WriteNumber("1.1\\Text", "Size", 1);
  CSaverApp preview, sheet;
  for (CSaverApp* a : {&preview, &sheet}) {
    a->m_pszAppName = "Verivir";
    a->SetRegistryKey(IDS_REGISTRY_KEY);
    a->LoadSettings();
  }
  sheet.settings.text = "After";
  sheet.SaveSettings();
  preview.settings.textSize = 3;  // an instance that did change something writes only that
  preview.SaveSettings();
  EXPECT_EQ(Read("1.1\\Text", "Text").text, "After");
  EXPECT_EQ(Read("1.1\\Text", "Size").number, 3u);
  preview.SaveSettings();  // nothing changed since its last save
  EXPECT_EQ(Read("1.1\\Text", "Text").text, "After");
}

TEST_F(SaverSettings, ValuesOfTheWrongTypeReadAsTheirDefaults) {
  WriteText("1.1\\General", "Lights", "1");
  WriteNumber("1.1\\Text", "Font", 5);
  app.LoadSettings();
  EXPECT_FALSE(app.settings.lights);
  EXPECT_EQ(app.settings.font, "Times New Roman");
}

std::vector<BYTE> RawWide(const std::string& subkey, const wchar_t* name) {
  std::vector<BYTE> data(4096);
  DWORD type = 0, size = static_cast<DWORD>(data.size());
  HKEY key = Key(subkey);
  if (!key) return {};
  if (RegQueryValueExW(key, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    size = 0;
  RegCloseKey(key);
  data.resize(size);
  return data;
}

void WriteWide(const std::string& subkey, const wchar_t* name, const std::wstring& value) {
  HKEY key = Key(subkey, true);
  ASSERT_NE(key, nullptr);
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

// Any character: the text and the face are read and written as Unicode, in
// the same REG_SZ values (RawWide reads no other type), and come back byte
// for byte.
TEST_F(SaverSettings, UnicodeTextAndFaceComeBackByteForByte) {
  const std::wstring text = testing_support::kUnicodeTextW;
  const std::string utf8 = testing_support::kUnicodeText;
  WriteWide("1.1\\Text", L"Text", text);
  WriteWide("1.1\\Text", L"Font", L"\u65e5\u672c Gothic");
  const std::vector<BYTE> stored = RawWide("1.1\\Text", L"Text");
  app.LoadSettings();
  EXPECT_EQ(app.settings.text, utf8);
  EXPECT_EQ(app.settings.font, "\xe6\x97\xa5\xe6\x9c\xac Gothic");

  // Another instance that writes every value writes the same bytes.
  SHDeleteKeyA(HKEY_CURRENT_USER, kRoot);
  CSaverApp writer;
  writer.m_pszAppName = "Verivir";
  writer.SetRegistryKey(IDS_REGISTRY_KEY);
  writer.settings = app.settings;
  writer.SaveSettings();
  EXPECT_EQ(RawWide("1.1\\Text", L"Text"), stored);
  EXPECT_EQ(Read("1.1\\Text", "Font").text.substr(2), " Gothic")
      << "ANSI readers see the code page";

  // A lone surrogate reads as U+FFFD and stays stored until the text changes.
  const std::wstring lone = L"a" + std::wstring(1, wchar_t(0xD800)) + L"b";
  WriteWide("1.1\\Text", L"Text", lone);
  const std::vector<BYTE> loneBytes = RawWide("1.1\\Text", L"Text");
  writer.LoadSettings();
  EXPECT_EQ(writer.settings.text, "a\xef\xbf\xbd\x62");
  writer.settings.textSize = 3;
  writer.SaveSettings();
  EXPECT_EQ(RawWide("1.1\\Text", L"Text"), loneBytes);
}

TEST_F(SaverSettings, ProfileReadsCreateMissingKeys) {
  EXPECT_FALSE(KeyExists("Somewhere\\Deeper"));
  EXPECT_EQ(app.GetProfileInt("Somewhere\\Deeper", "Missing", 42), 42u);
  EXPECT_EQ(app.GetProfileString("Somewhere\\Deeper", "Missing", "x"), "x");
  EXPECT_TRUE(KeyExists("Somewhere\\Deeper"));
}

}  // namespace
