// The one process-wide record that the program flow and the transfer thread share.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <cstdint>

#include "update/command_line.h"
#include "update/sha256_text.h"

namespace nuvora {

// User agent, prefix of the temporary file and title of the Save As dialog.
extern const char kAgent[];

// Built-in location of the update description file; the command line may replace it.
extern const char kDefaultConfigUrl[];

struct UpdateState {
  HINSTANCE instance = nullptr;
  HINTERNET internet = nullptr;
  HINTERNET request = nullptr;  // swapped atomically: closed by whoever takes it first
  HANDLE output = INVALID_HANDLE_VALUE;
  HANDLE worker = nullptr;
  char product[kProductSize] = {};
  std::uint32_t installedMajor = 0;
  std::uint32_t installedMinor = 0;
  char configUrl[kUrlSize] = {};
  char tempFile[MAX_PATH] = {};
  char downloadUrl[kUrlSize] = {};
  char targetFile[MAX_PATH] = {};
  // The download arrives here, beside the target, which it replaces only when complete.
  char partialFile[MAX_PATH] = {};
  char sizeKey[32] = "DlSize";  // the chosen installer's size key
  enum class Checksum { None, Given, Malformed } checksum = Checksum::None;
  Sha256Digest expectedSha256 = {};
  std::uint32_t totalKb = 0;
  // Added to by the transfer thread, read by the dialog's timer.
  std::atomic<std::uint32_t> receivedKb{0};
  volatile LONG pendingError = 0;
  // Set when the user confirmed a stop: the transfer thread may still record the
  // read failure that closing its handles causes, and that must not be shown.
  volatile LONG cancelled = 0;
};

extern UpdateState g_update;

// Closes the request handle once, whichever thread gets there first.
void CloseRequestHandle();
// Closes the internet handle once.
void CloseInternetHandle();
// Closes a file handle if open and marks it closed.
void CloseFileHandle(HANDLE* file);
// Closes the worker thread handle if open.
void CloseWorkerHandle();
// The user confirmed a stop: drop both network handles and the pending error.
void CancelTransfer();

}  // namespace nuvora
