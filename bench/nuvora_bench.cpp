// Downloads one URL with Nuvora's installer transfer (thread, 4096-byte blocks,
// progress report per block into a window with the download dialog's controls)
// and prints the elapsed time and size.
//   nuvora_bench.exe URL OUTPUT-FILE [--no-window]
// --no-window runs the same transfer without progress controls, to tell the cost
// of the display from the cost of the network reads.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "update/resource.h"
#include "update/transfer.h"
#include "update/update_state.h"

using namespace nuvora;

namespace {

int g_outcome = 0;

LRESULT CALLBACK BenchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND &&
      (LOWORD(wParam) == IDC_TRANSFER_DONE || LOWORD(wParam) == IDC_TRANSFER_FAILED)) {
    g_outcome = LOWORD(wParam);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND CreateProgressWindow(HINSTANCE instance, bool withControls) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = BenchProc;
  wc.hInstance = instance;
  wc.lpszClassName = "NuvoraBench";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowA("NuvoraBench", "bench", WS_OVERLAPPEDWINDOW, 0, 0, 400, 120, nullptr,
                            nullptr, instance, nullptr);
  if (!withControls) return hwnd;
  CreateWindowA(PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 60, 300, 16, hwnd,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS)), instance, nullptr);
  CreateWindowA("EDIT", "", WS_CHILD | WS_VISIBLE | ES_READONLY, 10, 30, 300, 20, hwnd,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS_TEXT)), instance,
                nullptr);
  SendDlgItemMessageA(hwnd, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  return hwnd;
}

}  // namespace

int main(int argc, char** argv) {
  const bool window = !(argc == 4 && std::strcmp(argv[3], "--no-window") == 0);
  if (argc != 3 && window) {
    std::fprintf(stderr, "usage: nuvora_bench URL OUTPUT-FILE [--no-window]\n");
    return 2;
  }
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  g_update.instance = GetModuleHandleA(nullptr);
  std::snprintf(g_update.downloadUrl, sizeof g_update.downloadUrl, "%s", argv[1]);
  g_update.totalKb = 1;
  g_update.output = CreateFileA(argv[2], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_ARCHIVE, nullptr);
  g_update.internet = InternetOpenA(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (g_update.output == INVALID_HANDLE_VALUE || g_update.internet == nullptr) {
    std::fprintf(stderr, "nuvora_bench: cannot open output or internet\n");
    return 1;
  }
  HWND hwnd = CreateProgressWindow(g_update.instance, window);

  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  if (!StartTransfer(TransferKind::Installer, hwnd)) return 1;
  MSG msg;
  while (g_outcome == 0 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  QueryPerformanceCounter(&end);
  WaitForSingleObject(g_update.worker, INFINITE);

  LARGE_INTEGER size = {};
  GetFileSizeEx(g_update.output, &size);
  CloseFileHandle(&g_update.output);
  CloseInternetHandle();
  const double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
  std::printf("bytes %lld seconds %.6f outcome %d\n", static_cast<long long>(size.QuadPart),
              seconds, g_outcome);
  return g_outcome == IDC_TRANSFER_DONE ? 0 : 1;
}
