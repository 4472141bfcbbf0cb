// Holds the verification library only while the user requires a password.
#pragma once
#include "saver/password_lib.h"

// Whether "ScreenSaveUsePassword" under HKCU\Control Panel\Desktop is non-zero.
bool IsPasswordEnabled();

class PasswordLibProxy {
 public:
  PasswordLibProxy() = default;
  virtual ~PasswordLibProxy() { Unload(); }
  PasswordLibProxy(const PasswordLibProxy&) = delete;
  PasswordLibProxy& operator=(const PasswordLibProxy&) = delete;

  // Asks the registry each time; true when a library object exists afterwards.
  bool Load();
  void Unload();
  PasswordLib* Lib() const { return _lib; }

 private:
  PasswordLib* _lib = nullptr;
};
