#include "update/transfer.h"

#include <wininet.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "update/progress.h"
#include "update/resource.h"
#include "update/sha256_hash.h"
#include "update/transfer_pause.h"
#include "update/update_state.h"

namespace nuvora {

namespace {

// Reads grow up to this while the data is there: the transfer must not be paced
// by calls per 4 KB. (Sizing reads by InternetQueryDataAvailable was measured
// about four times slower over loopback under Wine.)
constexpr DWORD kReadSize = 256 * 1024;
// A configuration file is a few kB; an endless body must not fill the disk.
constexpr long long kMaxConfigurationBytes = 1024 * 1024;

bool IsHttpUrl(const char* url) {
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, url, 5, "http:", 5) == CSTR_EQUAL ||
         CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, url, 6, "https:", 6) == CSTR_EQUAL;
}

// WinINet opens an error page like any other: a status of 400 or more must
// count as a failed open, or the page would be saved as the file.
bool IsErrorStatus(HINTERNET request, const char* url) {
  if (!IsHttpUrl(url)) return false;
  DWORD status = 0, size = sizeof status;
  if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                      nullptr))
    return false;
  return status >= 400;
}

// Announced body length, or -1 when the server gave none (or the URL is not http).
long long ContentLength(HINTERNET request, const char* url) {
  if (!IsHttpUrl(url)) return -1;
  char text[32] = {};
  DWORD size = sizeof text;
  if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return -1;
  return std::strtoll(text, nullptr, 10);
}

void SetOption(HINTERNET handle, DWORD option, DWORD value) {
  InternetSetOptionA(handle, option, &value, sizeof value);
}

// Records why the transfer failed; returns false for the caller to hand on.
bool Fail(LONG error) {
  InterlockedExchange(&g_update.pendingError, error);
  return false;
}

// What one transfer checks besides the network and the disk.
struct Limits {
  long long expected = -1;  // Content-Length, -1 when none
  long long maxBytes = -1;  // -1: no cap
  LONG tooLarge = 0;        // pending error beyond maxBytes
  const Sha256Digest* sha256 = nullptr;
};

bool VerifyChecksum(Sha256Hash* hash, const Sha256Digest& expected) {
  Sha256Digest digest{};
  if (!hash->Finish(&digest) || digest != expected) {
    return Fail(IDS_DAMAGED_FILE);
  }
  return true;
}

bool CopyToOutput(HINTERNET request, const Limits& limits) {
  std::vector<char> buffer(kReadSize);
  std::unique_ptr<Sha256Hash> hash;
  if (limits.sha256) {
    hash = std::make_unique<Sha256Hash>();
    if (!hash->ok()) return Fail(IDS_DAMAGED_FILE);  // unverifiable counts as damaged
  }
  if (limits.maxBytes >= 0 && limits.expected > limits.maxBytes) return Fail(limits.tooLarge);
  long long total = 0;
  DWORD want = 4096;
  for (;;) {
    if (!TransferCheckpoint()) return Fail(IDS_CONNECTION_RESET);
    DWORD got = 0;
    const DWORD started = GetTickCount();
    const bool read = InternetReadFile(request, buffer.data(), want, &got) != FALSE;
    want = NextReadSize(want, GetTickCount() - started, kReadSize);
    // A read that returns while the stop question is open waits with its data, so
    // the file does not grow while the user decides; after a stop nothing is written.
    if (!TransferCheckpoint() || !read) return Fail(IDS_CONNECTION_RESET);
    if (got == 0) {
      // Some WinINet versions end a dropped connection like a complete body;
      // a body shorter than announced is a reset all the same.
      if (limits.expected >= 0 && total < limits.expected) return Fail(IDS_CONNECTION_RESET);
      return hash ? VerifyChecksum(hash.get(), *limits.sha256) : true;
    }
    total += got;
    if (limits.maxBytes >= 0 && total > limits.maxBytes) return Fail(limits.tooLarge);
    DWORD written = 0;
    if (!WriteFile(g_update.output, buffer.data(), got, &written, nullptr))
      return Fail(IDS_CANNOT_WRITE);
    if (hash) hash->Add(buffer.data(), got);
    g_update.receivedKb += KilobytesInRead(got);
  }
}

DWORD WINAPI ConfigurationThread(LPVOID dialog) {
  return RunTransfer(TransferKind::Configuration, static_cast<HWND>(dialog));
}

DWORD WINAPI InstallerThread(LPVOID dialog) {
  return RunTransfer(TransferKind::Installer, static_cast<HWND>(dialog));
}

}  // namespace

DWORD RunTransfer(TransferKind kind, HWND dialog) {
  const bool configuration = kind == TransferKind::Configuration;
  const char* url = configuration ? g_update.configUrl : g_update.downloadUrl;
  const LONG openError = configuration ? IDS_NO_CONNECTION : IDS_CANNOT_OPEN_URL;
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
  if (!configuration) flags |= INTERNET_FLAG_RAW_DATA;

  bool ok = false;
  HINTERNET request = InternetOpenUrlA(g_update.internet, url, nullptr, 0, flags, 0);
  if (request == nullptr) {
    Fail(openError);
  } else {
    InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&g_update.request), request);
    if (g_update.cancelled) {
      // A stop confirmed while the URL was opening: the closing missed this handle.
      Fail(IDS_CONNECTION_RESET);
    } else if (IsErrorStatus(request, url)) {
      Fail(openError);
    } else {
      if (configuration) PostMessageA(dialog, WM_NUVORA_LOADING, 0, 0);
      SetOption(request, INTERNET_OPTION_CONNECT_TIMEOUT, 30000);
      SetOption(request, INTERNET_OPTION_DATA_SEND_TIMEOUT, 30000);
      SetOption(request, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, 60000);
      SetOption(request, INTERNET_OPTION_CONNECT_RETRIES, 0);
      Limits limits;
      limits.expected = ContentLength(request, url);
      if (configuration) {
        limits.maxBytes = kMaxConfigurationBytes;
        limits.tooLarge = IDS_NO_CONNECTION;
      } else if (g_update.checksum == UpdateState::Checksum::Given) {
        limits.sha256 = &g_update.expectedSha256;
      }
      ok = CopyToOutput(request, limits);
    }
    CloseRequestHandle();
  }
  PostMessageA(dialog, WM_NUVORA_OUTCOME, ok ? 1 : 0, 0);
  return ok ? 1 : 0;
}

bool StartTransfer(TransferKind kind, HWND dialog) {
  LPTHREAD_START_ROUTINE body =
      kind == TransferKind::Configuration ? ConfigurationThread : InstallerThread;
  g_update.worker = CreateThread(nullptr, 0, body, dialog, 0, nullptr);
  return g_update.worker != nullptr;
}

}  // namespace nuvora
