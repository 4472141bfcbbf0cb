#ifndef SCENE_SCENE_SETTINGS_H
#define SCENE_SCENE_SETTINGS_H

#include <cstdint>
#include <string>

// Every option of the scene. The initialisers are the values the application
// starts with before anything is loaded; missing registry values use other
// defaults, applied where the settings are loaded.
struct SceneSettings {
  std::string text = "Verivir";          // may hold strftime time codes
  std::string font = "Times New Roman";  // TrueType face name
  std::int32_t textResolution = 1;       // 0 low, 1 medium, else high
  std::int32_t textSize = 1;             // 0 tiny .. 3 big; scale (textSize + 1) * 0.05
  std::int32_t textSpeed = 1;            // 0 slow .. 10 fast
  std::int32_t bigDensity = 0;           // 0 low, 1 medium, else high
  std::int32_t bigGestalt = 0;           // 0 points, else wireframe
  std::int32_t smallDensity = 0;         // 0 low, 1 medium, 2 high
  std::int32_t smallGestalt = 0;         // 0 points, 1 wireframe, else solid
  bool bigColor = true;
  bool bigShow = true;
  bool smallColor = true;
  bool smallShow = true;
  bool textShow = true;
  bool textColor = false;  // colour cycling and translucency of the text
  bool blend = false;
  bool alpha = false;
  bool dither = false;
  bool lights = true;
  bool smooth = false;
  bool doubleBuffer = true;  // read only: never written back
  bool genericAccel = true;  // read only: never written back
  bool displayLists = false;
};

#endif
