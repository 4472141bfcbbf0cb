// The scene's options, one row each: the section and value name it is stored
// under, the field that holds it, its value before anything is loaded
// (initial) and when the registry has none (default), whether it is written
// back, its name in the flat layout 1.0, and the range the scene can show
// (stored values stay as they are; users of a number clamp it). Loading,
// saving and migrating walk this table; a new option is one more row.
#pragma once
#include <cstdint>
#include <string>

#include "scene/scene_settings.h"

namespace scene_options {

struct IntRange {
  int low, high;
  constexpr int Clamp(int value) const { return value < low ? low : value > high ? high : value; }
};

enum class Kind { Flag, Number, Text };
// Read-only options are only ever set by hand in the registry.
enum Access : bool { kReadOnly = false, kWritten = true };

struct Option {
  Kind kind;
  const char* section;
  const char* name;
  bool SceneSettings::*flag;
  std::int32_t SceneSettings::*number;
  std::string SceneSettings::*text;
  int initial, fallback;  // flags and numbers
  const char* initialText;
  const char* fallbackText;
  IntRange range;       // numbers
  const char* oldName;  // null: layout 1.0 had no such value
  Access access;
};

constexpr Option Flag(const char* section, const char* name, bool SceneSettings::*field,
                      bool initial, bool fallback, const char* oldName = nullptr,
                      Access access = kWritten) {
  return {Kind::Flag, section, name,    field,  nullptr, nullptr, initial,
          fallback,   nullptr, nullptr, {0, 1}, oldName, access};
}

constexpr Option Number(const char* section, const char* name, std::int32_t SceneSettings::*field,
                        int initial, int fallback, IntRange range, const char* oldName = nullptr) {
  return {Kind::Number, section, name,    nullptr, field,   nullptr, initial,
          fallback,     nullptr, nullptr, range,   oldName, kWritten};
}

constexpr Option Text(const char* section, const char* name, std::string SceneSettings::*field,
                      const char* initial, const char* fallback, const char* oldName) {
  return {Kind::Text, section, name,     nullptr, nullptr, field,   0,
          0,          initial, fallback, {0, 0},  oldName, kWritten};
}

// Sections below the layout's key.
inline constexpr char kGeneral[] = "General";
inline constexpr char kText[] = "Text";
inline constexpr char kBig[] = "Big Sphere";
inline constexpr char kSmall[] = "Small Sphere";

// In the order of reading and writing.
// clang-format off
inline constexpr Option kOptions[] = {
  //     section   value name      field                          initial  default  [range] [1.0 name]
  Flag(  kGeneral, "Blend",        &SceneSettings::blend,         false,   false),
  Flag(  kGeneral, "Alpha",        &SceneSettings::alpha,         false,   false),
  Flag(  kGeneral, "Dither",       &SceneSettings::dither,        false,   false),
  Flag(  kGeneral, "Lights",       &SceneSettings::lights,        true,    false),
  Flag(  kGeneral, "Smooth",       &SceneSettings::smooth,        false,   false),
  Flag(  kGeneral, "DoubleBuffer", &SceneSettings::doubleBuffer,  true,    true,    nullptr, kReadOnly),
  Flag(  kGeneral, "GenericAccel", &SceneSettings::genericAccel,  true,    true,    nullptr, kReadOnly),
  Flag(  kGeneral, "DisplayLists", &SceneSettings::displayLists,  false,   true),
  Text(  kText,    "Text",         &SceneSettings::text,  "Verivir", "Morvel Software Development", "Text"),
  Text(  kText,    "Font",         &SceneSettings::font,  "Times New Roman", "Times New Roman", "Font"),
  Flag(  kText,    "Show",         &SceneSettings::textShow,      true,    true),
  Flag(  kText,    "Color",        &SceneSettings::textColor,     false,   true),
  Number(kText,    "Resolution",   &SceneSettings::textResolution, 1,      1, {0, 2},  "Text Resolution"),
  Number(kText,    "Size",         &SceneSettings::textSize,      1,       1, {0, 3},  "Text Size"),
  Number(kText,    "Speed",        &SceneSettings::textSpeed,     1,       1, {0, 10}),
  Flag(  kBig,     "Show",         &SceneSettings::bigShow,       true,    true,    "Big Sphere"),
  Flag(  kBig,     "Color",        &SceneSettings::bigColor,      true,    true,    "Big Sphere Color"),
  Number(kBig,     "Density",      &SceneSettings::bigDensity,    0,       1, {0, 2},  "Big Sphere Density"),
  Number(kBig,     "Gestalt",      &SceneSettings::bigGestalt,    0,       1, {0, 1}),
  Flag(  kSmall,   "Show",         &SceneSettings::smallShow,     true,    true,    "Small Sphere"),
  Flag(  kSmall,   "Color",        &SceneSettings::smallColor,    true,    true,    "Small Sphere Color"),
  Number(kSmall,   "Density",      &SceneSettings::smallDensity,  0,       1, {0, 2},  "Small Sphere Density"),
  Number(kSmall,   "Gestalt",      &SceneSettings::smallGestalt,  0,       1, {0, 2}),
};
// clang-format on

// The flat layout that layout 1.1 replaced, migrated once.
inline constexpr char kOldLayout[] = "1.0";

// The range of a number option.
constexpr IntRange RangeOf(std::int32_t SceneSettings::*field) {
  for (const Option& o : kOptions)
    if (o.number == field) return o.range;
  return {INT32_MIN, INT32_MAX};
}

// A number brought into what the scene can show of its option.
constexpr int Clamped(std::int32_t SceneSettings::*field, int value) {
  return RangeOf(field).Clamp(value);
}

// Whether two records hold the same value of an option.
bool Same(const Option& o, const SceneSettings& a, const SceneSettings& b);

// Where the options are kept: sections (key paths) of numbers and strings.
// Strings are UTF-8 both ways: a text may hold any character.
class OptionStore {
 public:
  virtual ~OptionStore() = default;
  // The stored value, or fallback when it is missing or of another type.
  virtual std::int32_t ReadNumber(const std::string& section, const char* name,
                                  std::int32_t fallback) = 0;
  virtual std::string ReadText(const std::string& section, const char* name,
                               const std::string& fallback) = 0;
  virtual void WriteNumber(const std::string& section, const char* name, std::int32_t value) = 0;
  virtual void WriteText(const std::string& section, const char* name,
                         const std::string& value) = 0;
  virtual bool HasSection(const std::string& section) = 0;
  virtual void DeleteSection(const std::string& section) = 0;
};

// Every field from the sections below layout; a missing value takes its
// default. A flag is true for any number but 0.
void Load(OptionStore& store, const std::string& layout, SceneSettings& s);
// Takes over the values of layout 1.0 (a flag only when it is exactly 1) and
// deletes that layout; the other fields stay. False, changing nothing, when
// there is no layout 1.0.
bool Migrate(OptionStore& store, SceneSettings& s);
// Writes every field that is written back or, given the record as stored,
// those that differ from it, so that what another instance saved meanwhile
// stays unless this one changed it.
void Save(OptionStore& store, const std::string& layout, const SceneSettings& s,
          const SceneSettings* stored);

}  // namespace scene_options
