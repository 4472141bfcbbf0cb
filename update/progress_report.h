// Shows received and total kilobytes in a dialog's progress text and bar.
#pragma once
#include <windows.h>

#include <cstdint>

namespace nuvora {

// What a dialog shows now, so that figures that did not change are not redrawn.
struct ProgressShown {
  bool any = false;
  std::uint32_t receivedKb = 0, totalKb = 0;
};

// Updates controls 1007 (text) and 1005 (bar) of the dialog, on its own thread.
void ReportProgress(HWND dialog, ProgressShown* shown, std::uint32_t receivedKb,
                    std::uint32_t totalKb);

}  // namespace nuvora
