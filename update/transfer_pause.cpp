#include "update/transfer_pause.h"

#include <windows.h>

#include "update/update_state.h"

namespace nuvora {

namespace {

HANDLE g_resume = nullptr;  // manual reset; signalled while the thread may run
volatile LONG g_pauseRequested = 0;

}  // namespace

void CreateTransferPause() {
  if (!g_resume) g_resume = CreateEventA(nullptr, TRUE, TRUE, nullptr);
}

void RequestTransferPause() {
  ResetEvent(g_resume);
  InterlockedExchange(&g_pauseRequested, 1);
}

void ReleaseTransferPause() {
  InterlockedExchange(&g_pauseRequested, 0);
  SetEvent(g_resume);
}

bool TransferCheckpoint() {
  if (g_pauseRequested && g_resume) WaitForSingleObject(g_resume, INFINITE);
  return !g_update.cancelled;
}

}  // namespace nuvora
