// Downloads one URL in Nuvora's real download dialog (visible, its own timer
// refreshing the progress) and prints the elapsed time and size.
//   nuvora_bench.exe URL OUTPUT-FILE SIZE-KB
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "update/dialogs.h"
#include "update/transfer_pause.h"
#include "update/update_state.h"

using namespace nuvora;

namespace {

// The dialog reads the caption and the size from the update description file.
bool WriteDescription(const char* path, unsigned sizeKb) {
  const std::string text =
      "[Bench]\r\nAppName=Benchmark\r\nDlSize=" + std::to_string(sizeKb) + "\r\n";
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == text.size();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: nuvora_bench URL OUTPUT-FILE SIZE-KB\n");
    return 2;
  }
  g_update.instance = GetModuleHandleA(nullptr);
  std::snprintf(g_update.product, sizeof g_update.product, "Bench");
  std::snprintf(g_update.downloadUrl, sizeof g_update.downloadUrl, "%s", argv[1]);
  std::snprintf(g_update.tempFile, sizeof g_update.tempFile, "%s.ini", argv[2]);
  if (!WriteDescription(g_update.tempFile, static_cast<unsigned>(std::atoi(argv[3])))) return 1;
  g_update.output = CreateFileA(argv[2], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_ARCHIVE, nullptr);
  g_update.internet = InternetOpenA(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (g_update.output == INVALID_HANDLE_VALUE || g_update.internet == nullptr) {
    std::fprintf(stderr, "nuvora_bench: cannot open output or internet\n");
    return 1;
  }
  CreateTransferPause();

  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  const INT_PTR outcome = RunDownloadDialog();
  QueryPerformanceCounter(&end);
  WaitForSingleObject(g_update.worker, INFINITE);

  LARGE_INTEGER size = {};
  GetFileSizeEx(g_update.output, &size);
  CloseFileHandle(&g_update.output);
  CloseInternetHandle();
  DeleteFileA(g_update.tempFile);
  const double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
  std::printf("bytes %lld seconds %.6f outcome %d kb %u\n", static_cast<long long>(size.QuadPart),
              seconds, static_cast<int>(outcome), static_cast<unsigned>(g_update.receivedKb));
  return outcome == 1 ? 0 : 1;
}
