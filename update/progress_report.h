// Shows received and total kilobytes in a dialog's progress text and bar.
#pragma once
#include <windows.h>

namespace nuvora {

// Updates controls 1007 (text) and 1005 (bar) of the dialog; a dialog without
// them (the connecting dialog) shows nothing.
void ReportProgress(HWND dialog);

}  // namespace nuvora
