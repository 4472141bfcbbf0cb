#include "saver/password_change_lib.h"

bool PasswordChangeLib::ChangePassword(HWND owner) {
  if (!_module) return false;
  typedef DWORD(WINAPI * ChangeProc)(LPCSTR, HWND, DWORD, LPVOID);
  auto change = reinterpret_cast<ChangeProc>(
      reinterpret_cast<void*>(GetProcAddress(_module, "PwdChangePasswordA")));
  if (!change) return false;
  change("SCRSAVE", owner, 0, nullptr);
  return true;
}
