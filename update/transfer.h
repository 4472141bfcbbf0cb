// The transfer thread: fetches a URL into the output file of the update state.
#pragma once
#include <windows.h>

namespace nuvora {

enum class TransferKind { Configuration, Installer };

// Starts the thread for the dialog that shows the transfer and stores its handle
// as the worker. The thread posts WM_COMMAND 1 (done) or 3 (failed) to the dialog.
bool StartTransfer(TransferKind kind, HWND dialog);

// The thread's body, run on the calling thread; returns 1 on success, 0 on failure.
DWORD RunTransfer(TransferKind kind, HWND dialog);

}  // namespace nuvora
