#include "update/messages.h"

#include "update/resource.h"

namespace nuvora {

int ShowMessage(UINT text, UINT buttons, HWND owner) {
  MSGBOXPARAMSA params = {};
  params.cbSize = sizeof params;
  params.hwndOwner = owner;
  params.hInstance = ResourceInstance();
  params.lpszText = MAKEINTRESOURCEA(text);
  params.lpszCaption = MAKEINTRESOURCEA(IDS_CAPTION);
  params.dwStyle = buttons | MB_USERICON | MB_SETFOREGROUND | MB_TOPMOST;
  params.lpszIcon = MAKEINTRESOURCEA(IDI_NUVORA);
  params.dwLanguageId = LANG_USER_DEFAULT;
  MessageBeep(MB_ICONASTERISK);
  return MessageBoxIndirectA(&params);
}

}  // namespace nuvora
