// The display scaling a window is shown at. Functions newer than the build's
// WINVER are looked up at run time; systems without them answer with the
// screen's LOGPIXELSY, which is what they scale dialogs by.
#pragma once
#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_DPICHANGED_BEFOREPARENT
#define WM_DPICHANGED_BEFOREPARENT 0x02E2
#endif
#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

// Dots per inch of the monitor the window is on (of the screen for no window).
UINT AfxGetDpiForWindow(HWND hwnd);
