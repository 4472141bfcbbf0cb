// The application object of the screen saver: command line, run modes, settings.
//
// Failures in the saver: operations return false; a saver or preview window
// that cannot be made is the one failure shown (string 2, from InitInstance).
// The rest is silent, as a screen saver must be: no password library, a
// settings write that fails (the next exit writes again).
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "framework/app.h"
#include "scene/scene_settings.h"

class CWnd;

class CSaverApp : public CWinApp {
 public:
  CSaverApp();
  ~CSaverApp() override;

  BOOL InitInstance() override;
  int ExitInstance() override;
  bool QuitAllowed() override;

  bool RunSaver();
  bool RunPreview(HWND parent);
  bool RunChangePassword(HWND owner);
  void ShowSettings();

  // Scene settings in the profile, below the section of their layout (1.1):
  // HKCU\Software\Morvel Software Development\Screen Savers\Verivir\1.1.
  bool SettingsExist();
  bool LoadSettings();
  bool MigrateSettings();
  // Writes the fields that changed since the last load or save, so that a
  // run that changed nothing leaves what another instance saved meanwhile.
  // Everything is written when the settings key did not exist at the load.
  void SaveSettings();

  // Takes the hidden proxy window; an owned old one is deleted.
  void SetProxy(CWnd* proxy, bool owned);
  CWnd* Proxy() const { return _proxy; }

  SceneSettings settings;

 private:
  void ReportCannotCreate();
  static std::string SettingsLayout();

  CWnd* _proxy = nullptr;
  bool _ownsProxy = false;
  // The record as the registry held it after the last load or save; unknown
  // after defaults or a migration that no settings key stood behind.
  std::optional<SceneSettings> _stored;
};

// The running application object.
CSaverApp* SaverApp();
