#include "scene/scene_options.h"

namespace scene_options {

namespace {

// Flags are stored as the numbers 1 and 0.
std::int32_t Stored(const Option& o, const SceneSettings& s) {
  return o.kind == Kind::Flag ? (s.*o.flag ? 1 : 0) : s.*o.number;
}

void SetNumber(const Option& o, SceneSettings& s, std::int32_t value) {
  if (o.kind == Kind::Flag)
    s.*o.flag = value != 0;
  else
    s.*o.number = value;
}

std::string Section(const std::string& layout, const Option& o) {
  return layout + "\\" + o.section;
}

}  // namespace

bool Same(const Option& o, const SceneSettings& a, const SceneSettings& b) {
  return o.kind == Kind::Text ? a.*o.text == b.*o.text : Stored(o, a) == Stored(o, b);
}

void Load(OptionStore& store, const std::string& layout, SceneSettings& s) {
  for (const Option& o : kOptions) {
    if (o.kind == Kind::Text)
      s.*o.text = store.ReadText(Section(layout, o), o.name, o.fallbackText);
    else
      SetNumber(o, s, store.ReadNumber(Section(layout, o), o.name, o.fallback));
  }
}

bool Migrate(OptionStore& store, SceneSettings& s) {
  if (!store.HasSection(kOldLayout)) return false;
  for (const Option& o : kOptions) {
    if (!o.oldName) continue;
    if (o.kind == Kind::Text) {
      s.*o.text = store.ReadText(kOldLayout, o.oldName, o.fallbackText);
    } else {
      const std::int32_t value = store.ReadNumber(kOldLayout, o.oldName, o.fallback);
      SetNumber(o, s, o.kind == Kind::Flag ? value == 1 : value);
    }
  }
  store.DeleteSection(kOldLayout);
  return true;
}

void Save(OptionStore& store, const std::string& layout, const SceneSettings& s,
          const SceneSettings* stored) {
  for (const Option& o : kOptions) {
    if (o.access == kReadOnly || (stored && Same(o, s, *stored))) continue;
    if (o.kind == Kind::Text)
      store.WriteText(Section(layout, o), o.name, s.*o.text);
    else
      store.WriteNumber(Section(layout, o), o.name, Stored(o, s));
  }
}

}  // namespace scene_options

SceneSettings::SceneSettings() {
  using namespace scene_options;
  for (const Option& o : kOptions) {
    if (o.kind == Kind::Text)
      this->*o.text = o.initialText;
    else
      SetNumber(o, *this, o.initial);
  }
}
