// The four scene-settings operations of the application object.
#include <windows.h>

#include <string>

#include "saver/resource.h"
#include "saver/saver_app.h"

namespace {

struct Sections {
  std::string general, text, big, small;
};

Sections SettingsSections() {
  std::string version = AfxLoadString(IDS_SETTINGS_VERSION);
  return {version + "\\General", version + "\\Text", version + "\\Big Sphere",
          version + "\\Small Sphere"};
}

// The flat layout of version 1.0, migrated once into the sectioned layout.
const char kOldSection[] = "1.0";

}  // namespace

bool CSaverApp::SettingsExist() {
  char path[512];
  wsprintfA(path, "SOFTWARE\\%s\\Verivir\\%s", AfxLoadString(IDS_REGISTRY_KEY).c_str(),
            AfxLoadString(IDS_SETTINGS_VERSION).c_str());
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool CSaverApp::LoadSettings() {
  const Sections s = SettingsSections();
  SceneSettings& o = settings;
  auto flag = [this](const std::string& section, const char* name, bool fallback) {
    return GetProfileInt(section.c_str(), name, fallback ? 1 : 0) != 0;
  };
  auto number = [this](const std::string& section, const char* name, int fallback) {
    return static_cast<int>(GetProfileInt(section.c_str(), name, fallback));
  };

  o.blend = flag(s.general, "Blend", false);
  o.alpha = flag(s.general, "Alpha", false);
  o.dither = flag(s.general, "Dither", false);
  o.lights = flag(s.general, "Lights", false);
  o.smooth = flag(s.general, "Smooth", false);
  o.doubleBuffer = flag(s.general, "DoubleBuffer", true);
  o.genericAccel = flag(s.general, "GenericAccel", true);
  o.displayLists = flag(s.general, "DisplayLists", true);

  o.text = GetProfileString(s.text.c_str(), "Text", "Morvel Software Development");
  o.font = GetProfileString(s.text.c_str(), "Font", "Times New Roman");
  o.textShow = flag(s.text, "Show", true);
  o.textColor = flag(s.text, "Color", true);
  o.textResolution = number(s.text, "Resolution", 1);
  o.textSize = number(s.text, "Size", 1);
  o.textSpeed = number(s.text, "Speed", 1);

  o.bigShow = flag(s.big, "Show", true);
  o.bigColor = flag(s.big, "Color", true);
  o.bigDensity = number(s.big, "Density", 1);
  o.bigGestalt = number(s.big, "Gestalt", 1);

  o.smallShow = flag(s.small, "Show", true);
  o.smallColor = flag(s.small, "Color", true);
  o.smallDensity = number(s.small, "Density", 1);
  o.smallGestalt = number(s.small, "Gestalt", 1);
  return true;
}

bool CSaverApp::MigrateSettings() {
  const std::string oldKey =
      "Software\\" + AfxLoadString(IDS_REGISTRY_KEY) + "\\Verivir\\" + kOldSection;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, oldKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);

  SceneSettings& o = settings;
  auto exactlyOne = [this](const char* name) { return GetProfileInt(kOldSection, name, 1) == 1; };
  auto number = [this](const char* name) {
    return static_cast<int>(GetProfileInt(kOldSection, name, 1));
  };
  o.text = GetProfileString(kOldSection, "Text", "Morvel Software Development");
  o.font = GetProfileString(kOldSection, "Font", "Times New Roman");
  o.textResolution = number("Text Resolution");
  o.textSize = number("Text Size");
  o.bigShow = exactlyOne("Big Sphere");
  o.bigColor = exactlyOne("Big Sphere Color");
  o.bigDensity = number("Big Sphere Density");
  o.smallShow = exactlyOne("Small Sphere");
  o.smallColor = exactlyOne("Small Sphere Color");
  o.smallDensity = number("Small Sphere Density");

  RegDeleteKeyA(HKEY_CURRENT_USER, oldKey.c_str());
  return true;
}

void CSaverApp::SaveSettings() {
  const Sections s = SettingsSections();
  const SceneSettings& o = settings;
  auto flag = [this](const std::string& section, const char* name, bool value) {
    WriteProfileInt(section.c_str(), name, value ? 1 : 0);
  };
  auto number = [this](const std::string& section, const char* name, int value) {
    WriteProfileInt(section.c_str(), name, value);
  };

  // DoubleBuffer and GenericAccel are read only: a hand-set value survives.
  flag(s.general, "Blend", o.blend);
  flag(s.general, "Alpha", o.alpha);
  flag(s.general, "Dither", o.dither);
  flag(s.general, "Lights", o.lights);
  flag(s.general, "Smooth", o.smooth);
  flag(s.general, "DisplayLists", o.displayLists);

  WriteProfileString(s.text.c_str(), "Text", o.text.c_str());
  WriteProfileString(s.text.c_str(), "Font", o.font.c_str());
  flag(s.text, "Show", o.textShow);
  flag(s.text, "Color", o.textColor);
  number(s.text, "Resolution", o.textResolution);
  number(s.text, "Size", o.textSize);
  number(s.text, "Speed", o.textSpeed);

  flag(s.big, "Show", o.bigShow);
  flag(s.big, "Color", o.bigColor);
  number(s.big, "Density", o.bigDensity);
  number(s.big, "Gestalt", o.bigGestalt);

  flag(s.small, "Show", o.smallShow);
  flag(s.small, "Color", o.smallColor);
  number(s.small, "Density", o.smallDensity);
  number(s.small, "Gestalt", o.smallGestalt);
}
