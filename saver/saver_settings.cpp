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

using Flag = bool SceneSettings::*;
using Number = std::int32_t SceneSettings::*;
using Text = std::string SceneSettings::*;

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
  // Asked before the reads, which create the keys they open.
  const bool existed = SettingsExist();
  const Sections s = SettingsSections();
  SceneSettings& o = settings;
  auto flag = [&](const std::string& section, const char* name, Flag field, bool fallback) {
    o.*field = GetProfileInt(section.c_str(), name, fallback ? 1 : 0) != 0;
  };
  auto number = [&](const std::string& section, const char* name, Number field, int fallback) {
    o.*field = static_cast<int>(GetProfileInt(section.c_str(), name, fallback));
  };
  auto text = [&](const std::string& section, const char* name, Text field, const char* fallback) {
    o.*field = GetProfileString(section.c_str(), name, fallback);
  };

  flag(s.general, "Blend", &SceneSettings::blend, false);
  flag(s.general, "Alpha", &SceneSettings::alpha, false);
  flag(s.general, "Dither", &SceneSettings::dither, false);
  flag(s.general, "Lights", &SceneSettings::lights, false);
  flag(s.general, "Smooth", &SceneSettings::smooth, false);
  flag(s.general, "DoubleBuffer", &SceneSettings::doubleBuffer, true);
  flag(s.general, "GenericAccel", &SceneSettings::genericAccel, true);
  flag(s.general, "DisplayLists", &SceneSettings::displayLists, true);

  text(s.text, "Text", &SceneSettings::text, "Morvel Software Development");
  text(s.text, "Font", &SceneSettings::font, "Times New Roman");
  flag(s.text, "Show", &SceneSettings::textShow, true);
  flag(s.text, "Color", &SceneSettings::textColor, true);
  number(s.text, "Resolution", &SceneSettings::textResolution, 1);
  number(s.text, "Size", &SceneSettings::textSize, 1);
  number(s.text, "Speed", &SceneSettings::textSpeed, 1);

  flag(s.big, "Show", &SceneSettings::bigShow, true);
  flag(s.big, "Color", &SceneSettings::bigColor, true);
  number(s.big, "Density", &SceneSettings::bigDensity, 1);
  number(s.big, "Gestalt", &SceneSettings::bigGestalt, 1);

  flag(s.small, "Show", &SceneSettings::smallShow, true);
  flag(s.small, "Color", &SceneSettings::smallColor, true);
  number(s.small, "Density", &SceneSettings::smallDensity, 1);
  number(s.small, "Gestalt", &SceneSettings::smallGestalt, 1);

  _stored = settings;
  _storedKnown = existed;
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
  // Nothing of the new layout stands behind the record yet: the first save writes it all.
  _storedKnown = false;
  return true;
}

void CSaverApp::SaveSettings() {
  const Sections s = SettingsSections();
  const SceneSettings& o = settings;
  const bool all = !_storedKnown;
  auto changed = [&](auto field) { return all || !(o.*field == _stored.*field); };
  auto flag = [&](const std::string& section, const char* name, Flag field) {
    if (changed(field)) WriteProfileInt(section.c_str(), name, o.*field ? 1 : 0);
  };
  auto number = [&](const std::string& section, const char* name, Number field) {
    if (changed(field)) WriteProfileInt(section.c_str(), name, o.*field);
  };
  auto text = [&](const std::string& section, const char* name, Text field) {
    if (changed(field)) WriteProfileString(section.c_str(), name, (o.*field).c_str());
  };

  // DoubleBuffer and GenericAccel are read only: a hand-set value survives.
  flag(s.general, "Blend", &SceneSettings::blend);
  flag(s.general, "Alpha", &SceneSettings::alpha);
  flag(s.general, "Dither", &SceneSettings::dither);
  flag(s.general, "Lights", &SceneSettings::lights);
  flag(s.general, "Smooth", &SceneSettings::smooth);
  flag(s.general, "DisplayLists", &SceneSettings::displayLists);

  text(s.text, "Text", &SceneSettings::text);
  text(s.text, "Font", &SceneSettings::font);
  flag(s.text, "Show", &SceneSettings::textShow);
  flag(s.text, "Color", &SceneSettings::textColor);
  number(s.text, "Resolution", &SceneSettings::textResolution);
  number(s.text, "Size", &SceneSettings::textSize);
  number(s.text, "Speed", &SceneSettings::textSpeed);

  flag(s.big, "Show", &SceneSettings::bigShow);
  flag(s.big, "Color", &SceneSettings::bigColor);
  number(s.big, "Density", &SceneSettings::bigDensity);
  number(s.big, "Gestalt", &SceneSettings::bigGestalt);

  flag(s.small, "Show", &SceneSettings::smallShow);
  flag(s.small, "Color", &SceneSettings::smallColor);
  number(s.small, "Density", &SceneSettings::smallDensity);
  number(s.small, "Gestalt", &SceneSettings::smallGestalt);

  _stored = settings;
  _storedKnown = true;
}
