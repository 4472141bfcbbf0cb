// The application object of the screen saver.
#pragma once
#include "framework/app.h"
#include "scene/scene_settings.h"

class CSaverApp : public CWinApp {
 public:
  CSaverApp();
  ~CSaverApp() override;

  // Scene settings under HKCU\Software\Morvel Software Development\Screen Savers\Verivir.
  bool SettingsExist();
  bool LoadSettings();
  bool MigrateSettings();
  void SaveSettings();

  SceneSettings settings;
};

// The running application object; the scene and the settings sheet read the
// scene settings through it.
CSaverApp* SaverApp();
