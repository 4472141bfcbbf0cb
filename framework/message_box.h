// Message boxes captioned with the application's name.
#pragma once
#include <windows.h>

// The default type is an OK button with the exclamation icon. Owned by the
// main window when there is one; returns the button pressed.
int AfxMessageBox(const char* text, UINT type = MB_OK | MB_ICONEXCLAMATION, UINT helpId = 0);
int AfxMessageBox(UINT stringId, UINT type = MB_OK | MB_ICONEXCLAMATION, UINT helpId = 0);
