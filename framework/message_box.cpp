#include "framework/message_box.h"

#include "framework/app.h"
#include "framework/wnd.h"

int AfxMessageBox(const char* text, UINT type, UINT /*helpId*/) {
  CWinApp* app = AfxGetApp();
  HWND owner = nullptr;
  if (app && app->m_pMainWnd && ::IsWindowVisible(app->m_pMainWnd->m_hWnd))
    owner = app->m_pMainWnd->m_hWnd;
  const char* caption = app ? app->m_pszAppName.c_str() : nullptr;
  return MessageBoxA(owner, text, caption, type);
}

int AfxMessageBox(UINT stringId, UINT type, UINT helpId) {
  return AfxMessageBox(AfxLoadString(stringId).c_str(), type, helpId);
}
