// Downloads one URL in Nuvora's real download dialog (visible, its own timer
// refreshing the progress) and prints the elapsed time and size; or times the
// feed check Nuvora makes before it reads a key of a feed.
//   nuvora_bench.exe URL OUTPUT-FILE SIZE-KB
//   nuvora_bench.exe verify FEED SIGNATURE-FILE PUBLIC-KEY
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "update/dialogs.h"
#include "update/feed_rules.h"
#include "update/feed_trust.h"
#include "update/nuvora.h"
#include "update/transfer_job.h"

using namespace nuvora;

namespace {

std::string ReadAll(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// The whole check, as Nuvora makes it: the trusted keys (built in and from the
// registry), the signature's text, CNG's verification over the feed's bytes.
int TimeVerification(const char* feedPath, const char* signaturePath, const char* key) {
  const std::string feed = ReadAll(feedPath), signatureText = ReadAll(signaturePath);
  constexpr int kRounds = 100;
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  int verified = 0;
  for (int i = 0; i < kRounds; ++i) {
    const auto signature = ParseFeedSignature(signatureText);
    if (signature && IsSignedBy(feed, *signature, TrustedFeedKeys({key}))) ++verified;
  }
  QueryPerformanceCounter(&end);
  std::printf("verified %d of %d feeds of %u bytes, %.3f ms each\n", verified, kRounds,
              static_cast<unsigned>(feed.size()), Seconds(start, end) * 1000.0 / kRounds);
  return verified == kRounds ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "verify")
    return TimeVerification(argv[2], argv[3], argv[4]);
  if (argc != 4) {
    std::fprintf(stderr,
                 "usage: nuvora_bench URL OUTPUT-FILE SIZE-KB\n"
                 "       nuvora_bench verify FEED SIGNATURE-FILE PUBLIC-KEY\n");
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

  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  RunDownloadDialog(job, "Benchmark", static_cast<std::uint32_t>(std::atoi(argv[3])));
  QueryPerformanceCounter(&end);
  const Outcome outcome = job->Conclude();

  LARGE_INTEGER size = {};
  GetFileSizeEx(output, &size);
  CloseHandle(output);
  InternetCloseHandle(internet);
  const double seconds = Seconds(start, end);
  std::printf("bytes %lld seconds %.6f outcome %d kb %u\n", static_cast<long long>(size.QuadPart),
              seconds, outcome.IsDone() ? 1 : 2, static_cast<unsigned>(job->ReceivedKb()));
  return outcome.IsDone() ? 0 : 1;
}
