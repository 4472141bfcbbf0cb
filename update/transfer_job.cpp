#include "update/transfer_job.h"

#include "update/resource.h"
#include "update/transfer.h"

namespace nuvora {

namespace {

// What the thread is started with; it keeps the job alive, because after a
// stop main may be done with the job long before the worker is.
struct Worker {
  std::shared_ptr<TransferJob> job;
  HWND dialog;
};

}  // namespace

TransferJob::TransferJob(TransferRequest request)
    : _request(std::move(request)), _receivedKb(_request.startKb), _lastHeard(GetTickCount()) {
  _resume = CreateEventA(nullptr, TRUE, TRUE, nullptr);
}

TransferJob::~TransferJob() {
  if (_thread) CloseHandle(_thread);
  if (_resume) CloseHandle(_resume);
}

DWORD WINAPI TransferJob::ThreadMain(LPVOID parameter) {
  std::unique_ptr<Worker> worker(static_cast<Worker*>(parameter));
  TransferJob& job = *worker->job;
  job._result = RunTransfer(job, worker->dialog);
  job._finished = true;
  PostMessageA(worker->dialog, WM_NUVORA_OUTCOME, 0, 0);
  return 0;
}

void TransferJob::Start(HWND dialog) {
  _lastHeard = GetTickCount();
  auto* worker = new Worker{shared_from_this(), dialog};
  _thread = CreateThread(nullptr, 0, ThreadMain, worker, 0, nullptr);
  if (_thread) return;
  delete worker;
  // No thread, no transfer: reported like a URL that cannot be opened.
  _result = Outcome::Failed(_request.kind == TransferKind::Installer ? IDS_CANNOT_OPEN_URL
                                                                     : IDS_NO_CONNECTION);
  _finished = true;
  PostMessageA(dialog, WM_NUVORA_OUTCOME, 0, 0);
}

void TransferJob::Stop() {
  {
    std::lock_guard<std::mutex> lock(_writing);
    _stopped = true;
  }
  CloseRequest();
  // A parked worker wakes to find the stop and ends.
  Resume();
}

void TransferJob::Pause() {
  ResetEvent(_resume);
  _pauseRequested = true;
}

void TransferJob::Resume() {
  // The worker heard nothing while it was held: that was no stall.
  _lastHeard = GetTickCount();
  _pauseRequested = false;
  SetEvent(_resume);
}

bool TransferJob::GiveUpIfStalled(DWORD now) {
  if (_finished || _stopped || _pauseRequested) return false;
  const DWORD limit = _answered ? _request.stallLimitMs : _request.connectLimitMs;
  if (now - _lastHeard <= limit) return false;
  {
    std::lock_guard<std::mutex> lock(_writing);
    _givenUp = IDS_STALLED;
    _stopped = true;
  }
  CloseRequest();
  Resume();
  return true;
}

Outcome TransferJob::Conclude() {
  if (_stopped) return _givenUp ? Outcome::Failed(_givenUp) : Outcome::Stopped();
  if (_thread) WaitForSingleObject(_thread, INFINITE);
  return _result;
}

void TransferJob::Heard(bool opened) {
  if (opened) _answered = true;
  _lastHeard = GetTickCount();
}

bool TransferJob::Checkpoint() {
  if (_pauseRequested) WaitForSingleObject(_resume, INFINITE);
  return !_stopped;
}

bool TransferJob::Publish(HINTERNET request) {
  _open = request;
  // A stop confirmed while the URL was opening missed this handle.
  return !_stopped;
}

void TransferJob::CloseRequest() {
  // Whichever thread gets here first closes it, once.
  if (HINTERNET request = _open.exchange(nullptr)) InternetCloseHandle(request);
}

TransferJob::Written TransferJob::Write(const void* data, DWORD size) {
  std::lock_guard<std::mutex> lock(_writing);
  if (_stopped) return Written::Stopped;
  if (_request.keepBody) _body.append(static_cast<const char*>(data), size);
  if (_request.output == INVALID_HANDLE_VALUE) return Written::Yes;
  DWORD written = 0;
  return WriteFile(_request.output, data, size, &written, nullptr) && written == size
             ? Written::Yes
             : Written::Failed;
}

}  // namespace nuvora
