/* Test double of PASSWORD.CPL. VerifyScreenSavePwd answers from
   VERIVIR_FAKE_VERIFY, one character per call ('1' right, '0' wrong; the last
   one repeats; default '1'). With VERIVIR_FAKE_PROMPT_MS it first pumps this
   thread's messages that long, as a modal prompt would. */
#include "fake_support.h"

static int calls = 0;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) FakeLog("PASSWORD.CPL loaded");
  if (reason == DLL_PROCESS_DETACH) FakeLog("PASSWORD.CPL unloaded");
  return TRUE;
}

__declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND owner) {
  char answers[64] = "1", wait[32] = "";
  DWORD n = GetEnvironmentVariableA("VERIVIR_FAKE_VERIFY", answers, sizeof answers);
  if (n == 0 || n >= sizeof answers) lstrcpyA(answers, "1");
  int index = calls < (int)lstrlenA(answers) ? calls : lstrlenA(answers) - 1;
  ++calls;
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  FakeLog("VerifyScreenSavePwd %llu", (unsigned long long)(UINT_PTR)owner);
  if (GetEnvironmentVariableA("VERIVIR_FAKE_PROMPT_MS", wait, sizeof wait)) {
    DWORD end = GetTickCount() + (DWORD)atoi(wait);
    while ((LONG)(end - GetTickCount()) > 0) {
      MSG msg;
      while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      Sleep(5);
    }
  }
  return answers[index] == '1';
}
