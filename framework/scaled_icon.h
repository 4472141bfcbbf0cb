// Icon controls of a dialog at the display's scaling: the dialog manager
// scales a template's layout and font, but loads its icons at the system's
// icon size only.
#pragma once
#include <windows.h>

// Shows icon `id` in every icon control of `dialog` at 32 pixels scaled to the
// dialog's DPI, again whenever that changes. A control already showing an
// icon of that size is left as it is. Call on WM_INITDIALOG.
void AfxScaleDialogIcons(HWND dialog, HINSTANCE instance, UINT id);
