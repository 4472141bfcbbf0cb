/* Test double of MPR.DLL: records the password-change call and its arguments. */
#include "fake_support.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) FakeLog("MPR.DLL loaded");
  if (reason == DLL_PROCESS_DETACH) FakeLog("MPR.DLL unloaded");
  return TRUE;
}

__declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD reserved1, LPVOID reserved2) {
  FakeLog("PwdChangePasswordA %s %llu %lu %p", provider ? provider : "(null)",
          (unsigned long long)(UINT_PTR)owner, (unsigned long)reserved1, reserved2);
  return 0;
}
