// Nuvora: checks the maker's server for a newer release, shows it, downloads
// the installer and offers to run it.
#include <windows.h>
#include <shellapi.h>
#include <wininet.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "update/command_line.h"
#include "update/dialogs.h"
#include "update/file_name.h"
#include "update/messages.h"
#include "update/nuvora.h"
#include "update/offer.h"
#include "update/profile_reader.h"
#include "update/resource.h"
#include "update/single_instance.h"
#include "update/system_bitness.h"
#include "update/transfer_job.h"
#include "update/version_rule.h"

using namespace nuvora;

namespace {

// An address under the reserved example domain: the maker's server is not ours to name.
const char kDefaultConfigUrl[] = "http://update.example.com/config/update.ini";
// A configuration file is a few kB; an endless body must not fill the disk.
constexpr long long kMaxConfigurationBytes = 1024 * 1024;

void CloseFile(HANDLE* file) {
  if (*file != INVALID_HANDLE_VALUE) CloseHandle(*file);
  *file = INVALID_HANDLE_VALUE;
}

// What the whole run holds: the local copy of the update description and the
// internet session. Both go when the run ends, before any message is shown.
class Session {
 public:
  Session() = default;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  ~Session() { Close(); }

  // Message 4 or 3 when a part cannot be made; what was made is gone again.
  Outcome Open() {
    char dir[MAX_PATH];
    const DWORD len = GetTempPathA(sizeof dir, dir);
    if (len == 0 || len >= sizeof dir) lstrcpyA(dir, ".");
    // Unique number 0: the system picks a free name and creates the file, so two
    // runs never share one.
    char name[MAX_PATH];
    if (GetTempFileNameA(dir, kAgent, 0, name) == 0) return Outcome::Failed(IDS_NO_TEMP_FILE);
    copyName_ = name;
    copy_ = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (copy_ == INVALID_HANDLE_VALUE) {
      Close();
      return Outcome::Failed(IDS_NO_TEMP_FILE);
    }
    // The system's proxy settings, so that users behind a proxy can update.
    internet_ = InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (internet_ == nullptr) {
      Close();
      return Outcome::Failed(IDS_NO_INTERNET);
    }
    DWORD retries = 1;
    InternetSetOptionA(internet_, INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof retries);
    return Outcome::Done();
  }

  HINTERNET internet() const { return internet_; }
  HANDLE copy() const { return copy_; }
  const std::string& copyName() const { return copyName_; }
  // The copy is complete: closed, so that the profile functions read all of it.
  void CloseCopy() { CloseFile(&copy_); }

  void Close() {
    if (internet_) InternetCloseHandle(internet_);
    internet_ = nullptr;
    CloseCopy();
    if (!copyName_.empty()) DeleteFileA(copyName_.c_str());
    copyName_.clear();
  }

 private:
  HINTERNET internet_ = nullptr;
  HANDLE copy_ = INVALID_HANDLE_VALUE;
  std::string copyName_;
};

// The download goes into a new file beside the target, so that a failed or
// stopped download leaves an existing file as it was.
class PartialFile {
 public:
  PartialFile() = default;
  PartialFile(const PartialFile&) = delete;
  PartialFile& operator=(const PartialFile&) = delete;
  ~PartialFile() { Discard(); }

  bool Create(const std::string& target) {
    std::string folder = target.substr(0, target.find_last_of("\\/") + 1);
    if (folder.empty()) folder = ".";
    char name[MAX_PATH];
    if (GetTempFileNameA(folder.c_str(), kAgent, 0, name) == 0) return false;
    name_ = name;
    handle_ = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_ARCHIVE, nullptr);
    if (handle_ != INVALID_HANDLE_VALUE) return true;
    Discard();
    return false;
  }

  HANDLE handle() const { return handle_; }

  // Closes the file and puts it in the target's place.
  bool Commit(const std::string& target) {
    CloseFile(&handle_);
    if (!MoveFileExA(name_.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return false;
    name_.clear();
    return true;
  }

  void Discard() {
    CloseFile(&handle_);
    if (!name_.empty()) DeleteFileA(name_.c_str());
    name_.clear();
  }

 private:
  std::string name_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Check: fetches the update description into the session's copy.
Outcome FetchFeed(Session& session, const std::string& url, std::uint32_t* receivedKb) {
  TransferRequest request;
  request.kind = TransferKind::Configuration;
  request.url = url;
  request.internet = session.internet();
  request.output = session.copy();
  request.maxBytes = kMaxConfigurationBytes;
  auto job = std::make_shared<TransferJob>(std::move(request));
  RunConnectingDialog(job);
  const Outcome outcome = job->Conclude();
  *receivedKb = job->receivedKb();
  session.CloseCopy();
  return outcome;
}

// Transfer: fetches the installer into the partial file; the worker checks the
// hash as the bytes arrive.
Outcome FetchInstaller(Session& session, const Download& download, const PartialFile& partial,
                       const std::string& appName, std::uint32_t receivedKb) {
  TransferRequest request;
  request.kind = TransferKind::Installer;
  request.url = download.url;
  request.internet = session.internet();
  request.output = partial.handle();
  if (download.checksum == Download::Checksum::Given) request.sha256 = download.sha256;
  // The kilobytes count on from the configuration's.
  request.startKb = receivedKb;
  auto job = std::make_shared<TransferJob>(std::move(request));
  RunDownloadDialog(job, appName, download.sizeKb);
  return job->Conclude();
}

// Run: asks, and starts the saved file when it is a program or an installer package.
void OfferToRun(const std::string& target) {
  if (ShowMessage(IDS_INSTALL_QUESTION, MB_YESNO) != IDYES) return;
  if (IsStartableInstaller(target))
    ShellExecuteA(nullptr, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  else
    ShowMessage(IDS_NOT_STARTED, MB_OK);
}

Outcome Update(Session& session, const CommandLine& line) {
  std::uint32_t receivedKb = 0;
  const Outcome fetched =
      FetchFeed(session, line.url[0] ? line.url : kDefaultConfigUrl, &receivedKb);
  if (!fetched.done()) return fetched;

  const Offer offer = ReadOffer(ProfileReader(session.copyName(), line.product), Is64BitWindows());
  if (!IsNewerVersion(offer.major, offer.minor, line.major, line.minor)) {
    ShowMessage(IDS_NO_NEWER, MB_OK);
    return Outcome::Done();
  }

  const std::optional<Choice> choice = RunInformationDialog(offer);
  if (!choice) return Outcome::Done();
  const Download& download = offer.DownloadFor(choice->selection);
  if (download.url.empty() || download.checksum == Download::Checksum::Malformed) {
    ShowMessage(IDS_CORRUPT_FILE, MB_OK);
    return Outcome::Done();
  }
  if (choice->target.empty()) return Outcome::Done();

  PartialFile partial;
  if (!partial.Create(choice->target)) return Outcome::Failed(IDS_CANNOT_WRITE);
  const Outcome received =
      FetchInstaller(session, download, partial, offer.captionName, receivedKb);
  if (!received.done()) return received;

  // Only a complete, checked file takes the target's place.
  if (!partial.Commit(choice->target)) return Outcome::Failed(IDS_CANNOT_WRITE);
  OfferToRun(choice->target);
  return Outcome::Done();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  CommandLine line;
  if (!ParseCommandLine(commandLine, &line)) {
    RunAboutBox();
    return 0;
  }
  // A second start for the same product shows the first one instead.
  ProductClaim claim(line.product);
  if (!claim.held()) return 0;

  Outcome outcome = Outcome::Done();
  {
    Session session;
    const Outcome opened = session.Open();
    if (!opened.done()) {
      ShowMessage(opened.message(), MB_OK);
      return -1;
    }
    outcome = Update(session, line);
  }
  // Shown once everything is closed and the copy is deleted.
  if (outcome.message() != 0) ShowMessage(outcome.message(), MB_OK);
  return 0;
}
