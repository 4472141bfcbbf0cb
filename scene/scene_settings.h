#ifndef SCENE_SCENE_SETTINGS_H
#define SCENE_SCENE_SETTINGS_H

#include <cstdint>
#include <string>

// Every option of the scene. Where each is stored, its values and its range
// are rows of the option table (scene/scene_options.h).
struct SceneSettings {
  // The values the application starts with, before anything is loaded.
  SceneSettings();

  std::string text;             // may hold strftime time codes
  std::string font;             // TrueType face name
  std::int32_t textResolution;  // 0 low, 1 medium, else high
  std::int32_t textSize;        // scale (textSize + 1) * 0.05
  std::int32_t textSpeed;
  std::int32_t bigDensity;    // 0 low, 1 medium, else high
  std::int32_t bigGestalt;    // 0 points, else wireframe
  std::int32_t smallDensity;  // 0 low, 1 medium, 2 high
  std::int32_t smallGestalt;  // 0 points, 1 wireframe, else solid
  bool bigColor;
  bool bigShow;
  bool smallColor;
  bool smallShow;
  bool textShow;
  bool textColor;  // colour cycling and translucency of the text
  bool blend;
  bool alpha;
  bool dither;
  bool lights;
  bool smooth;
  bool doubleBuffer;
  bool genericAccel;
  bool displayLists;
};

#endif
