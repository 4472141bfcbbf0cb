// The option table walked by load, save and migrate, row by row, over a store in memory.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "scene/scene_options.h"

namespace {

using namespace scene_options;

// Sections of named values; numbers are kept as their digits.
struct MemoryStore : OptionStore {
  std::map<std::string, std::map<std::string, std::string>> sections;
  std::set<std::string> deleted;
  int writes = 0;

  std::string ReadText(const std::string& section, const char* name,
                       const std::string& fallback) override {
    auto values = sections.find(section);
    if (values == sections.end() || !values->second.count(name)) return fallback;
    return values->second[name];
  }
  std::int32_t ReadNumber(const std::string& section, const char* name,
                          std::int32_t fallback) override {
    return std::stoi(ReadText(section, name, std::to_string(fallback)));
  }
  void WriteText(const std::string& section, const char* name, const std::string& value) override {
    sections[section][name] = value;
    ++writes;
  }
  void WriteNumber(const std::string& section, const char* name, std::int32_t value) override {
    WriteText(section, name, std::to_string(value));
  }
  bool HasSection(const std::string& section) override { return sections.count(section) > 0; }
  void DeleteSection(const std::string& section) override {
    deleted.insert(section);
    sections.erase(section);
  }
};

std::string Where(const Option& o) { return std::string(o.section) + "\\" + o.name; }

// One option at a time takes a value that is neither its initial value nor its
// default: saved and loaded, it comes back alone (a read-only one is never
// written, so its default does), and saved over the stored record, it is the
// one value written.
TEST(SceneOptions, EveryRowComesBackThroughSaveAndLoadAndTouchesOnlyItsField) {
  MemoryStore empty;
  SceneSettings defaults;
  Load(empty, "1.1", defaults);
  for (const Option& o : kOptions) {
    SCOPED_TRACE(Where(o));
    SceneSettings saved = defaults;
    if (o.kind == Kind::Flag) saved.*o.flag = !o.fallback;
    if (o.kind == Kind::Number) saved.*o.number = o.fallback + o.initial + 17;
    if (o.kind == Kind::Text) saved.*o.text = "other " + Where(o);
    MemoryStore store;
    Save(store, "1.1", saved, nullptr);
    SceneSettings loaded;
    Load(store, "1.1", loaded);
    for (const Option& other : kOptions) {
      const bool comesBack = &other == &o && o.access == kWritten;
      EXPECT_TRUE(Same(other, loaded, comesBack ? saved : defaults)) << Where(other);
    }
    MemoryStore changes;
    Save(changes, "1.1", saved, &defaults);
    EXPECT_EQ(changes.writes, o.access == kWritten ? 1 : 0);
  }
}

// Each old value differs from its neighbours', so a row that read another's is
// seen; a flag is 1 in one pass and 2 in the other.
TEST(SceneOptions, MigrationTakesEveryOldValueOnceAndKeepsTheRest) {
  for (const int pass : {0, 1}) {
    auto old = [pass](const Option& o) -> std::int32_t {
      const int row = static_cast<int>(&o - kOptions);
      return o.kind == Kind::Flag ? (row + pass) % 2 + 1 : 100 + row;
    };
    MemoryStore store;
    for (const Option& o : kOptions) {
      if (o.oldName)
        store.sections[kOldLayout][o.oldName] =
            o.kind == Kind::Text ? std::string("old ") + o.oldName : std::to_string(old(o));
    }
    const SceneSettings initial;
    SceneSettings s;
    ASSERT_TRUE(Migrate(store, s));
    for (const Option& o : kOptions) {
      SCOPED_TRACE(Where(o));
      if (!o.oldName)
        EXPECT_TRUE(Same(o, s, initial));
      else if (o.kind == Kind::Text)
        EXPECT_EQ(s.*o.text, std::string("old ") + o.oldName);
      else if (o.kind == Kind::Flag)
        EXPECT_EQ(s.*o.flag, old(o) == 1) << "only exactly 1 is true";
      else
        EXPECT_EQ(s.*o.number, old(o));
    }
    EXPECT_EQ(store.deleted, std::set<std::string>{kOldLayout});
    const SceneSettings migrated = s;
    EXPECT_FALSE(Migrate(store, s)) << "the old layout is gone";
    for (const Option& o : kOptions) EXPECT_TRUE(Same(o, s, migrated)) << Where(o);
  }
}

}  // namespace
