// The message routine: every message of the program goes through here.
#pragma once
#include <windows.h>

namespace nuvora {

// Where the program's icon, dialogs and strings are: its own module.
inline HINSTANCE ResourceInstance() { return GetModuleHandleA(nullptr); }

// Shows string `text` with the program's caption and icon; returns the button pressed.
// buttons is MB_OK or MB_YESNO.
int ShowMessage(UINT text, UINT buttons, HWND owner = nullptr);

}  // namespace nuvora
