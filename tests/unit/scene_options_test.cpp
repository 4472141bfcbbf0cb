// The option table walked by load, save and migrate, row by row, over a store in memory.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "scene/scene_options.h"

namespace {

using namespace scene_options;

// Sections of named numbers and strings.
struct MemoryStore : OptionStore {
  std::map<std::string, std::map<std::string, std::int32_t>> numbers;
  std::map<std::string, std::map<std::string, std::string>> texts;
  std::set<std::string> deleted;
  int writes = 0;

  template <class T>
  static T Read(std::map<std::string, std::map<std::string, T>>& sections,
                const std::string& section, const char* name, const T& fallback) {
    auto values = sections.find(section);
    if (values == sections.end() || !values->second.count(name)) return fallback;
    return values->second[name];
  }
  std::int32_t ReadNumber(const std::string& section, const char* name,
                          std::int32_t fallback) override {
    return Read(numbers, section, name, fallback);
  }
  std::string ReadText(const std::string& section, const char* name,
                       const std::string& fallback) override {
    return Read(texts, section, name, fallback);
  }
  void WriteNumber(const std::string& section, const char* name, std::int32_t value) override {
    numbers[section][name] = value;
    ++writes;
  }
  void WriteText(const std::string& section, const char* name, const std::string& value) override {
    texts[section][name] = value;
    ++writes;
  }
  bool HasSection(const std::string& section) override {
    return numbers.count(section) || texts.count(section);
  }
  void DeleteSection(const std::string& section) override {
    deleted.insert(section);
    numbers.erase(section);
    texts.erase(section);
  }
};

// The record that a load from an empty store gives: every option at its default.
SceneSettings Defaults() {
  MemoryStore empty;
  SceneSettings s;
  Load(empty, "1.1", s);
  return s;
}

// A value of the row's option that is neither its initial value nor its default.
void SetOther(const Option& o, SceneSettings& s) {
  switch (o.kind) {
    case Kind::Flag:
      s.*o.flag = !o.fallback;  // a flag has only two values
      break;
    case Kind::Number:
      s.*o.number = o.fallback + o.initial + 17;
      break;
    case Kind::Text:
      s.*o.text = std::string("other ") + o.section + "/" + o.name;
      break;
  }
}

// Every option but the one named must still have the value of expected.
void ExpectOthersSame(const Option& changed, const SceneSettings& expected,
                      const SceneSettings& actual) {
  for (const Option& o : kOptions)
    if (&o != &changed) {
      EXPECT_TRUE(Same(o, expected, actual)) << o.section << "\\" << o.name;
    }
}

// One option changed at a time: it comes back alone, and a read-only one
// is never written, so its default comes back.
TEST(SceneOptions, EveryRowComesBackThroughSaveAndLoadAndTouchesOnlyItsField) {
  const SceneSettings defaults = Defaults();
  for (const Option& o : kOptions) {
    SCOPED_TRACE(std::string(o.section) + "\\" + o.name);
    SceneSettings saved = defaults;
    SetOther(o, saved);
    MemoryStore store;
    Save(store, "1.1", saved, nullptr);
    SceneSettings loaded;
    Load(store, "1.1", loaded);
    EXPECT_EQ(Same(o, loaded, saved), o.access == kWritten);
    ExpectOthersSame(o, defaults, loaded);
  }
}

TEST(SceneOptions, SavingWithTheStoredRecordWritesExactlyTheChangedOption) {
  const SceneSettings stored = Defaults();
  for (const Option& o : kOptions) {
    SCOPED_TRACE(std::string(o.section) + "\\" + o.name);
    SceneSettings changed = stored;
    SetOther(o, changed);
    MemoryStore store;
    Save(store, "1.1", changed, &stored);
    EXPECT_EQ(store.writes, o.access == kWritten ? 1 : 0);
    Save(store, "1.1", stored, &stored);
    EXPECT_EQ(store.writes, o.access == kWritten ? 1 : 0) << "nothing changed: nothing written";
  }
}

// Each old value differs from its neighbours, so a row that read another's is seen;
// a flag is 1 in one pass and 2 in the other.
TEST(SceneOptions, MigrationTakesEveryOldValueOnceAndKeepsTheRest) {
  for (const int pass : {0, 1}) {
    auto old = [pass](const Option& o) -> std::int32_t {
      const int row = static_cast<int>(&o - kOptions);
      return o.kind == Kind::Flag ? (row + pass) % 2 + 1 : 100 + row;
    };
    MemoryStore store;
    for (const Option& o : kOptions) {
      if (!o.oldName) continue;
      if (o.kind == Kind::Text)
        store.texts[kOldLayout][o.oldName] = std::string("old ") + o.oldName;
      else
        store.numbers[kOldLayout][o.oldName] = old(o);
    }
    const SceneSettings initial;
    SceneSettings s;
    ASSERT_TRUE(Migrate(store, s));
    for (const Option& o : kOptions) {
      SCOPED_TRACE(std::string(o.section) + "\\" + o.name);
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
    for (const Option& o : kOptions) EXPECT_TRUE(Same(o, s, migrated));
  }
}

}  // namespace
