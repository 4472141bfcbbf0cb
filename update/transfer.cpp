#include "update/transfer.h"

#include <wininet.h>

#include <cstdlib>

#include "update/progress.h"
#include "update/progress_report.h"
#include "update/resource.h"
#include "update/update_state.h"

namespace nuvora {

namespace {

constexpr DWORD kBlockSize = 4096;

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

void Fail(LONG error) { InterlockedExchange(&g_update.pendingError, error); }

bool CopyToOutput(HINTERNET request, HWND dialog, long long expected) {
  char block[kBlockSize];
  long long total = 0;
  for (;;) {
    DWORD got = 0;
    if (!InternetReadFile(request, block, kBlockSize, &got)) {
      Fail(IDS_CONNECTION_RESET);
      return false;
    }
    if (got == 0) {
      // Some WinINet versions end a dropped connection like a complete body;
      // a body shorter than announced is a reset all the same.
      if (expected >= 0 && total < expected) {
        Fail(IDS_CONNECTION_RESET);
        return false;
      }
      return true;
    }
    total += got;
    DWORD written = 0;
    if (!WriteFile(g_update.output, block, got, &written, nullptr)) {
      Fail(IDS_CANNOT_WRITE);
      return false;
    }
    g_update.receivedKb = g_update.receivedKb + KilobytesInBlock(got);
    ReportProgress(dialog);
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
      if (configuration) {
        char status[256] = {};
        LoadStringA(g_update.instance, IDS_LOADING, status, sizeof status);
        SetDlgItemTextA(dialog, IDC_STATUS, status);
      }
      SetOption(request, INTERNET_OPTION_CONNECT_TIMEOUT, 30000);
      SetOption(request, INTERNET_OPTION_DATA_SEND_TIMEOUT, 30000);
      SetOption(request, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, 60000);
      SetOption(request, INTERNET_OPTION_CONNECT_RETRIES, 0);
      ok = CopyToOutput(request, dialog, ContentLength(request, url));
    }
    CloseRequestHandle();
  }
  PostMessageA(dialog, WM_COMMAND, ok ? IDC_TRANSFER_DONE : IDC_TRANSFER_FAILED, 0);
  return ok ? 1 : 0;
}

bool StartTransfer(TransferKind kind, HWND dialog) {
  LPTHREAD_START_ROUTINE body =
      kind == TransferKind::Configuration ? ConfigurationThread : InstallerThread;
  g_update.worker = CreateThread(nullptr, 0, body, dialog, 0, nullptr);
  return g_update.worker != nullptr;
}

}  // namespace nuvora
