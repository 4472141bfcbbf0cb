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

// "Ζωή — Ünïcödé — Łódź — 日本": Greek, accented Latin, Polish and Japanese,
// as UTF-8 (as the program keeps text) and as the system's wide text.
inline const char kUnicodeText[] =
    "\xce\x96\xcf\x89\xce\xae \xe2\x80\x94 \xc3\x9cn\xc3\xaf"
    "c\xc3\xb6\x64\xc3\xa9 \xe2\x80\x94 "
    "\xc5\x81\xc3\xb3\x64\xc5\xba \xe2\x80\x94 \xe6\x97\xa5\xe6\x9c\xac";
inline const wchar_t kUnicodeTextW[] =
    L"\u0396\u03c9\u03ae \u2014 \u00dcn\u00efc\u00f6d\u00e9 \u2014 "
    L"\u0141\u00f3d\u017a \u2014 \u65e5\u672c";

}  // namespace testing_support
