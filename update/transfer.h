// The transfer thread's body: fetches the job's URL into its output file.
#pragma once
#include <windows.h>

#include "update/nuvora.h"
#include "update/transfer_job.h"

namespace nuvora {

// Runs on the worker thread and returns its result. It touches no window: it
// counts the received kilobytes in the job and posts WM_NUVORA_LOADING to the
// dialog once a configuration server answered.
Outcome RunTransfer(TransferJob& job, HWND dialog);

}  // namespace nuvora
