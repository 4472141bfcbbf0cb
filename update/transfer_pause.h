// Holding the transfer thread while the user is asked whether to stop.
#pragma once

namespace nuvora {

// The thread is never suspended from outside (it could be inside WinINet or the
// heap): it parks itself between reads while a pause is requested.
void CreateTransferPause();   // once, before the first transfer
void RequestTransferPause();  // UI thread: park at the next checkpoint
void ReleaseTransferPause();  // UI thread: go on (No), or wake to end (after a stop)
// Transfer thread: parks while a pause is requested. Returns false when the
// user stopped the transfer meanwhile.
bool TransferCheckpoint();

}  // namespace nuvora
