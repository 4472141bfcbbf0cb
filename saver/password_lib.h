// PASSWORD.CPL with its verification function, loaded for as long as the object lives.
#pragma once
#include <windows.h>

class PasswordLib {
 public:
  PasswordLib();
  virtual ~PasswordLib();
  PasswordLib(const PasswordLib&) = delete;
  PasswordLib& operator=(const PasswordLib&) = delete;

  // True without the function; else whether the user gave the right password.
  bool Verify(HWND owner);
  // Whether Verify asks the user at all.
  bool Asks() const { return _verify != nullptr; }

 private:
  typedef BOOL(WINAPI* VerifyProc)(HWND);
  HMODULE _module = nullptr;
  VerifyProc _verify = nullptr;
};
