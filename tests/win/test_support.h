// Helpers shared by the Windows tests: windows to render into, message pumping,
// waiting for a condition, and pixel reads.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace testing_support {

// A plain top-level popup window of the given client size (visible unless asked).
HWND CreateTestWindow(int cx, int cy, bool visible = true, int x = 0, int y = 0);

// Dispatches this thread's pending messages.
void PumpMessages();

// Pumps messages until pred() holds or timeoutMs passes; returns pred().
bool WaitFor(const std::function<bool()>& pred, DWORD timeoutMs = 5000);

// Finds a top-level window by class name (null: any) and caption.
HWND FindTopWindow(const char* className, const char* caption);

// The front-most visible top-level window of process pid (0: of any process)
// that match accepts, or nullptr.
HWND FindTopWindow(DWORD pid, const std::function<bool(HWND)>& match);

// Text of a window.
std::string WindowText(HWND hwnd);

struct Rgb {
  unsigned char r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// Reads one pixel of the current context's front buffer (render thread only).
Rgb ReadFrontPixel(int x, int y);

}  // namespace testing_support
