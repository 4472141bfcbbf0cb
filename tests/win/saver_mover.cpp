// Ends a running screen saver the way a user does: the mouse moves (absolute
// moves, which the pointer acceleration of Wine leaves alone).
#include <windows.h>

namespace {

void MoveTo(int x, int y) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = (x * 65536 + w - 1) / w;
  in.mi.dy = (y * 65536 + h - 1) / h;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
  Sleep(200);
}

}  // namespace

int main() {
  // The first move only sets the saver's reference; the next ones are far from it.
  MoveTo(100, 100);
  MoveTo(300, 300);
  MoveTo(500, 200);
  return 0;
}
