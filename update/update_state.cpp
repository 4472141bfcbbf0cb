#include "update/update_state.h"

namespace nuvora {

const char kAgent[] = "ZOV Update utility 1.2";
// An address under the reserved example domain: the maker's server is not ours to name.
const char kDefaultConfigUrl[] = "http://update.example.com/config/update.ini";

UpdateState g_update;

namespace {

void CloseInternetSlot(HINTERNET* slot) {
  auto handle = static_cast<HINTERNET>(
      InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(slot), nullptr));
  if (handle) InternetCloseHandle(handle);
}

}  // namespace

void CloseRequestHandle() { CloseInternetSlot(&g_update.request); }

void CloseInternetHandle() { CloseInternetSlot(&g_update.internet); }

void CloseFileHandle(HANDLE* file) {
  if (*file != INVALID_HANDLE_VALUE) {
    CloseHandle(*file);
    *file = INVALID_HANDLE_VALUE;
  }
}

void CloseWorkerHandle() {
  if (g_update.worker) {
    CloseHandle(g_update.worker);
    g_update.worker = nullptr;
  }
}

void CancelTransfer() {
  InterlockedExchange(&g_update.cancelled, 1);
  CloseRequestHandle();
  CloseInternetHandle();
  InterlockedExchange(&g_update.pendingError, 0);
}

}  // namespace nuvora
