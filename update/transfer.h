// The transfer thread: fetches a URL into the output file of the update state.
#pragma once
#include <windows.h>

namespace nuvora {

enum class TransferKind { Configuration, Installer };

// Starts the thread for the dialog that shows the transfer and stores its handle
// as the worker. The thread touches no window: it adds to the received kilobytes
// and posts WM_NUVORA_OUTCOME (wParam 1 done, 0 failed) to the dialog, and the
// configuration kind posts WM_NUVORA_LOADING once the server answered.
bool StartTransfer(TransferKind kind, HWND dialog);

// The thread's body, run on the calling thread; returns 1 on success, 0 on failure.
DWORD RunTransfer(TransferKind kind, HWND dialog);

}  // namespace nuvora
