#include "update/transfer.h"

#include <wininet.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "update/progress.h"
#include "update/resource.h"
#include "update/sha256_hash.h"

namespace nuvora {

namespace {

// Reads grow up to this while the data is there: the transfer must not be paced
// by calls per 4 KB. (Sizing reads by InternetQueryDataAvailable was measured
// about four times slower over loopback under Wine.)
constexpr DWORD kReadSize = 256 * 1024;

bool IsHttpUrl(const std::string& url) {
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, url.c_str(), 5, "http:", 5) ==
             CSTR_EQUAL ||
         CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, url.c_str(), 6, "https:", 6) ==
             CSTR_EQUAL;
}

// WinINet opens an error page like any other: a status of 400 or more must
// count as a failed open, or the page would be saved as the file.
bool IsErrorStatus(HINTERNET request, const std::string& url) {
  if (!IsHttpUrl(url)) return false;
  DWORD status = 0, size = sizeof status;
  if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                      nullptr))
    return false;
  return status >= 400;
}

// Announced body length, or -1 when the server gave none (or the URL is not http).
long long ContentLength(HINTERNET request, const std::string& url) {
  if (!IsHttpUrl(url)) return -1;
  char text[32] = {};
  DWORD size = sizeof text;
  if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return -1;
  return std::strtoll(text, nullptr, 10);
}

void SetOption(HINTERNET handle, DWORD option, DWORD value) {
  InternetSetOptionA(handle, option, &value, sizeof value);
}

Outcome VerifyChecksum(Sha256Hash* hash, const Sha256Digest& expected) {
  Sha256Digest digest{};
  if (!hash->Finish(&digest) || digest != expected) return Outcome::Failed(IDS_DAMAGED_FILE);
  return Outcome::Done();
}

Outcome CopyToOutput(TransferJob& job, HINTERNET request, long long expected) {
  const TransferRequest& what = job.request();
  const Outcome reset = Outcome::Failed(IDS_CONNECTION_RESET);
  // An endless configuration body must not fill the disk: it counts as no connection.
  const Outcome tooLarge = Outcome::Failed(IDS_NO_CONNECTION);
  std::vector<char> buffer(kReadSize);
  std::unique_ptr<Sha256Hash> hash;
  if (what.sha256) {
    hash = std::make_unique<Sha256Hash>();
    if (!hash->ok()) return Outcome::Failed(IDS_DAMAGED_FILE);  // unverifiable counts as damaged
  }
  if (what.maxBytes >= 0 && expected > what.maxBytes) return tooLarge;
  long long total = 0;
  DWORD want = 4096;
  for (;;) {
    if (!job.Checkpoint()) return reset;
    DWORD got = 0;
    const DWORD started = GetTickCount();
    const bool read = InternetReadFile(request, buffer.data(), want, &got) != FALSE;
    want = NextReadSize(want, GetTickCount() - started, kReadSize);
    // A read that returns while the stop question is open waits with its data, so
    // the file does not grow while the user decides; after a stop nothing is written.
    if (!job.Checkpoint() || !read) return reset;
    if (got == 0) {
      // Some WinINet versions end a dropped connection like a complete body;
      // a body shorter than announced is a reset all the same.
      if (expected >= 0 && total < expected) return reset;
      return hash ? VerifyChecksum(hash.get(), *what.sha256) : Outcome::Done();
    }
    total += got;
    if (what.maxBytes >= 0 && total > what.maxBytes) return tooLarge;
    switch (job.Write(buffer.data(), got)) {
      case TransferJob::Written::Yes:
        break;
      case TransferJob::Written::Stopped:
        return reset;
      case TransferJob::Written::Failed:
        return Outcome::Failed(IDS_CANNOT_WRITE);
    }
    if (hash) hash->Add(buffer.data(), got);
    job.AddKilobytes(KilobytesInRead(got));
  }
}

}  // namespace

Outcome RunTransfer(TransferJob& job, HWND dialog) {
  const TransferRequest& what = job.request();
  const bool configuration = what.kind == TransferKind::Configuration;
  const Outcome cannotOpen =
      Outcome::Failed(configuration ? IDS_NO_CONNECTION : IDS_CANNOT_OPEN_URL);
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
  if (!configuration) flags |= INTERNET_FLAG_RAW_DATA;

  HINTERNET request = InternetOpenUrlA(what.internet, what.url.c_str(), nullptr, 0, flags, 0);
  if (request == nullptr) return cannotOpen;
  Outcome outcome = cannotOpen;
  if (!job.Publish(request)) {
    outcome = Outcome::Failed(IDS_CONNECTION_RESET);
  } else if (!IsErrorStatus(request, what.url)) {
    if (configuration) PostMessageA(dialog, WM_NUVORA_LOADING, 0, 0);
    SetOption(request, INTERNET_OPTION_CONNECT_TIMEOUT, 30000);
    SetOption(request, INTERNET_OPTION_DATA_SEND_TIMEOUT, 30000);
    SetOption(request, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, 60000);
    SetOption(request, INTERNET_OPTION_CONNECT_RETRIES, 0);
    outcome = CopyToOutput(job, request, ContentLength(request, what.url));
  }
  job.CloseRequest();
  return outcome;
}

}  // namespace nuvora
