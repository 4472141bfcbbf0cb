// One transfer: what main asks the worker thread to fetch, the state that the
// dialog showing it shares with the worker, and the worker's result.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "update/nuvora.h"
#include "update/sha256_text.h"

namespace nuvora {

// The update description, the signature beside it, the installer.
enum class TransferKind { Configuration, Signature, Installer };

// What to fetch and where to: main fills it in before the worker starts.
struct TransferRequest {
  TransferKind kind = TransferKind::Configuration;
  std::string url;
  HINTERNET internet = nullptr;          // the session; main owns it
  HANDLE output = INVALID_HANDLE_VALUE;  // main owns it; none: the body is only kept
  bool keepBody = false;                 // keep the body in memory too
  long long maxBytes = -1;               // -1: no cap
  std::optional<std::uint64_t> length;   // the exact size: no more is written, fewer fail
  std::optional<Sha256Digest> sha256;    // what the body must hash to
  std::uint32_t startKb = 0;             // kilobytes already counted by earlier transfers
  // No answer for connectLimitMs, or no byte for stallLimitMs once it answered:
  // the server stopped answering.
  DWORD connectLimitMs = 30000;
  DWORD stallLimitMs = 60000;
};

class TransferJob : public std::enable_shared_from_this<TransferJob> {
 public:
  explicit TransferJob(TransferRequest request);
  ~TransferJob();
  TransferJob(const TransferJob&) = delete;
  TransferJob& operator=(const TransferJob&) = delete;

  const TransferRequest& Request() const { return _request; }

  // UI thread. Start runs the worker; `dialog` gets WM_NUVORA_LOADING once the
  // server answered and WM_NUVORA_OUTCOME when the worker has its result.
  void Start(HWND dialog);
  // The user stopped the transfer: nothing more is written, no message follows.
  void Stop();
  // The worker parks at its next checkpoint until Resume (or Stop).
  void Pause();
  void Resume();
  // Whether the worker has its result: an outcome message that comes earlier is
  // not the worker's.
  bool Finished() const { return _finished; }
  // The worker's result, once finished.
  Outcome Result() const { return _result; }
  std::uint32_t ReceivedKb() const { return _receivedKb; }
  // A watchdog for the dialog's timer: when the worker heard nothing from the
  // server for too long, stops the transfer as failed and returns true. A
  // blocked read does not always end when its handle closes, so nothing waits
  // for the worker then; it never writes again.
  bool GiveUpIfStalled(DWORD now);
  // Stopped after Stop, the stall message after a give-up; otherwise the worker's
  // own result, once it has ended.
  Outcome Conclude();
  // The body, when kept; read after Conclude.
  const std::string& Body() const { return _body; }

  // Worker thread.
  enum class Written { Yes, Stopped, Failed };
  // Parks while a pause is requested; false once the transfer was stopped.
  bool Checkpoint();
  // Keeps the open request where Stop can close it; false when stopped meanwhile.
  bool Publish(HINTERNET request);
  void CloseRequest();
  Written Write(const void* data, DWORD size);
  void AddKilobytes(std::uint32_t kb) { _receivedKb += kb; }
  // The server answered (opened) or sent bytes: the stall clock starts again.
  void Heard(bool opened);

 private:
  static DWORD WINAPI ThreadMain(LPVOID self);

  TransferRequest _request;
  HANDLE _thread = nullptr;
  HANDLE _resume = nullptr;  // manual reset; signalled while the worker may run
  std::atomic<bool> _pauseRequested{false};
  std::atomic<bool> _stopped{false};
  std::atomic<bool> _finished{false};
  std::atomic<std::uint32_t> _receivedKb;
  std::atomic<HINTERNET> _open{nullptr};
  std::atomic<DWORD> _lastHeard;
  std::atomic<bool> _answered{false};
  std::atomic<unsigned> _givenUp{0};  // the message of a give-up
  // Held while the worker writes and while Stop marks the end, so that once Stop
  // returns, main may close and delete the output.
  std::mutex _writing;
  Outcome _result = Outcome::Stopped();
  std::string _body;
};

}  // namespace nuvora
