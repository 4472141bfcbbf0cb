// Program entry of a framework application: the one static application object
// starts, runs its message loop and ends.
#include <windows.h>

#include "framework/app.h"
#include "framework/wnd.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int) {
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  app->m_hInstance = instance;
  app->m_lpCmdLine = cmdLine ? cmdLine : "";
  // Without a main window after start-up there is nothing to wait for.
  if (!app->InitInstance()) {
    if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
    return app->ExitInstance();
  }
  if (!app->m_pMainWnd) return app->ExitInstance();
  return app->Run();
}
