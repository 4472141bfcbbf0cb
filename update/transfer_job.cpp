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
    : request_(std::move(request)), receivedKb_(request_.startKb), lastHeard_(GetTickCount()) {
  resume_ = CreateEventA(nullptr, TRUE, TRUE, nullptr);
}

TransferJob::~TransferJob() {
  if (thread_) CloseHandle(thread_);
  if (resume_) CloseHandle(resume_);
}

DWORD WINAPI TransferJob::ThreadMain(LPVOID parameter) {
  std::unique_ptr<Worker> worker(static_cast<Worker*>(parameter));
  TransferJob& job = *worker->job;
  job.result_ = RunTransfer(job, worker->dialog);
  job.finished_ = true;
  PostMessageA(worker->dialog, WM_NUVORA_OUTCOME, 0, 0);
  return 0;
}

void TransferJob::Start(HWND dialog) {
  lastHeard_ = GetTickCount();
  auto* worker = new Worker{shared_from_this(), dialog};
  thread_ = CreateThread(nullptr, 0, ThreadMain, worker, 0, nullptr);
  if (thread_) return;
  delete worker;
  // No thread, no transfer: reported like a URL that cannot be opened.
  result_ = Outcome::Failed(request_.kind == TransferKind::Installer ? IDS_CANNOT_OPEN_URL
                                                                     : IDS_NO_CONNECTION);
  finished_ = true;
  PostMessageA(dialog, WM_NUVORA_OUTCOME, 0, 0);
}

void TransferJob::Stop() {
  {
    std::lock_guard<std::mutex> lock(writing_);
    stopped_ = true;
  }
  CloseRequest();
  // A parked worker wakes to find the stop and ends.
  Resume();
}

void TransferJob::Pause() {
  ResetEvent(resume_);
  pauseRequested_ = true;
}

void TransferJob::Resume() {
  // The worker heard nothing while it was held: that was no stall.
  lastHeard_ = GetTickCount();
  pauseRequested_ = false;
  SetEvent(resume_);
}

bool TransferJob::GiveUpIfStalled(DWORD now) {
  if (finished_ || stopped_ || pauseRequested_) return false;
  const DWORD limit = answered_ ? request_.stallLimitMs : request_.connectLimitMs;
  if (now - lastHeard_ <= limit) return false;
  {
    std::lock_guard<std::mutex> lock(writing_);
    givenUp_ = IDS_STALLED;
    stopped_ = true;
  }
  CloseRequest();
  Resume();
  return true;
}

Outcome TransferJob::Conclude() {
  if (stopped_) return givenUp_ ? Outcome::Failed(givenUp_) : Outcome::Stopped();
  if (thread_) WaitForSingleObject(thread_, INFINITE);
  return result_;
}

void TransferJob::Heard(bool opened) {
  if (opened) answered_ = true;
  lastHeard_ = GetTickCount();
}

bool TransferJob::Checkpoint() {
  if (pauseRequested_) WaitForSingleObject(resume_, INFINITE);
  return !stopped_;
}

bool TransferJob::Publish(HINTERNET request) {
  open_ = request;
  // A stop confirmed while the URL was opening missed this handle.
  return !stopped_;
}

void TransferJob::CloseRequest() {
  // Whichever thread gets here first closes it, once.
  if (HINTERNET request = open_.exchange(nullptr)) InternetCloseHandle(request);
}

TransferJob::Written TransferJob::Write(const void* data, DWORD size) {
  std::lock_guard<std::mutex> lock(writing_);
  if (stopped_) return Written::Stopped;
  if (request_.keepBody) body_.append(static_cast<const char*>(data), size);
  if (request_.output == INVALID_HANDLE_VALUE) return Written::Yes;
  DWORD written = 0;
  return WriteFile(request_.output, data, size, &written, nullptr) && written == size
             ? Written::Yes
             : Written::Failed;
}

}  // namespace nuvora
