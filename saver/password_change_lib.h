// MPR.DLL for one call of its password-change dialog.
#pragma once
#include <windows.h>

class PasswordChangeLib {
 public:
  PasswordChangeLib() : _module(LoadLibraryA("MPR.DLL")) {}
  ~PasswordChangeLib() {
    if (_module) FreeLibrary(_module);
  }
  PasswordChangeLib(const PasswordChangeLib&) = delete;
  PasswordChangeLib& operator=(const PasswordChangeLib&) = delete;

  // True when the function was found and called; its own result is ignored.
  bool ChangePassword(HWND owner);

 private:
  HMODULE _module;
};
