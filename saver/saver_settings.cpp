// The four scene-settings operations of the application object: the option
// table walked over the application's profile.
#include "saver/resource.h"
#include "saver/saver_app.h"
#include "scene/scene_options.h"

namespace {

// The options' sections as sections of the profile, below the program's key.
class ProfileStore : public scene_options::OptionStore {
 public:
  explicit ProfileStore(CWinApp& app) : _app(app) {}
  std::int32_t ReadNumber(const std::string& section, const char* name,
                          std::int32_t fallback) override {
    return static_cast<std::int32_t>(_app.GetProfileInt(section.c_str(), name, fallback));
  }
  std::string ReadText(const std::string& section, const char* name,
                       const std::string& fallback) override {
    return _app.GetProfileString(section.c_str(), name, fallback.c_str());
  }
  // A failed write is not reported: the settings are written again at the next exit.
  void WriteNumber(const std::string& section, const char* name, std::int32_t value) override {
    _app.WriteProfileInt(section.c_str(), name, value);
  }
  void WriteText(const std::string& section, const char* name, const std::string& value) override {
    _app.WriteProfileString(section.c_str(), name, value.c_str());
  }
  bool HasSection(const std::string& section) override {
    return _app.HasProfileSection(section.c_str());
  }
  void DeleteSection(const std::string& section) override {
    _app.DeleteProfileSection(section.c_str());
  }

 private:
  CWinApp& _app;
};

}  // namespace

std::string CSaverApp::SettingsLayout() { return AfxLoadString(IDS_SETTINGS_VERSION); }

bool CSaverApp::SettingsExist() { return HasProfileSection(SettingsLayout().c_str()); }

bool CSaverApp::LoadSettings() {
  // Asked before the reads, which create the keys they open.
  const bool existed = SettingsExist();
  ProfileStore store(*this);
  scene_options::Load(store, SettingsLayout(), settings);
  _stored.reset();
  if (existed) _stored = settings;
  return true;
}

bool CSaverApp::MigrateSettings() {
  ProfileStore store(*this);
  if (!scene_options::Migrate(store, settings)) return false;
  // Nothing of the new layout stands behind the record yet: the first save writes it all.
  _stored.reset();
  return true;
}

void CSaverApp::SaveSettings() {
  ProfileStore store(*this);
  scene_options::Save(store, SettingsLayout(), settings, _stored ? &*_stored : nullptr);
  _stored = settings;
}
