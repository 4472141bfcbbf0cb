// Downloads one URL in Nuvora's real download dialog (visible, its own timer
// refreshing the progress) and prints the elapsed time and size.
//   nuvora_bench.exe URL OUTPUT-FILE SIZE-KB
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "update/dialogs.h"
#include "update/nuvora.h"
#include "update/transfer_job.h"

using namespace nuvora;

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: nuvora_bench URL OUTPUT-FILE SIZE-KB\n");
    return 2;
  }
  TransferRequest request;
  request.kind = TransferKind::Installer;
  request.url = argv[1];
  request.output = CreateFileA(argv[2], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_ARCHIVE, nullptr);
  request.internet = InternetOpenA(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (request.output == INVALID_HANDLE_VALUE || request.internet == nullptr) {
    std::fprintf(stderr, "nuvora_bench: cannot open output or internet\n");
    return 1;
  }
  HANDLE output = request.output;
  HINTERNET internet = request.internet;
  auto job = std::make_shared<TransferJob>(std::move(request));

  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  RunDownloadDialog(job, "Benchmark", static_cast<std::uint32_t>(std::atoi(argv[3])));
  QueryPerformanceCounter(&end);
  const Outcome outcome = job->Conclude();

  LARGE_INTEGER size = {};
  GetFileSizeEx(output, &size);
  CloseHandle(output);
  InternetCloseHandle(internet);
  const double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
  std::printf("bytes %lld seconds %.6f outcome %d kb %u\n", static_cast<long long>(size.QuadPart),
              seconds, outcome.done() ? 1 : 2, static_cast<unsigned>(job->receivedKb()));
  return outcome.done() ? 0 : 1;
}
