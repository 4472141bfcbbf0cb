// Shows received and total kilobytes in a dialog's progress text and bar.
#pragma once
#include <windows.h>

namespace nuvora {

// Updates controls 1007 (text) and 1005 (bar) of the dialog from the received
// kilobytes, on the dialog's own thread; figures that did not change are not redrawn.
void ReportProgress(HWND dialog);

// Forgets what was shown, so that the next report draws (a new dialog).
void ResetProgressView();

}  // namespace nuvora
