// Nuvora: checks the maker's server for a newer release, shows it, downloads
// the installer and offers to run it. Only a feed that the maker signed can lead
// to an install question, and only for the file that feed describes.
#include <windows.h>
#include <shellapi.h>
#include <wininet.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "update/build_settings.h"
#include "update/command_line.h"
#include "update/dialogs.h"
#include "update/feed_rules.h"
#include "update/feed_trust.h"
#include "update/file_name.h"
#include "update/ini_text.h"
#include "update/messages.h"
#include "update/nuvora.h"
#include "update/offer.h"
#include "update/resource.h"
#include "update/sha256_hash.h"
#include "update/single_instance.h"
#include "update/system_bitness.h"
#include "update/transfer_job.h"
#include "update/version_rule.h"

using namespace nuvora;

namespace {

// An address under the reserved example domain: the maker's server is not ours to name.
const char kDefaultConfigUrl[] = "https://update.example.com/config/update.ini";
// A configuration file is a few kB; an endless body must not fill the disk.
constexpr long long kMaxConfigurationBytes = 1024 * 1024;
// A signature is 128 hex digits and a newline.
constexpr long long kMaxSignatureBytes = 1024;

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
  Outcome Open(const BuildSettings& settings) {
    char dir[MAX_PATH];
    const DWORD len = GetTempPathA(sizeof dir, dir);
    if (len == 0 || len >= sizeof dir) lstrcpyA(dir, ".");
    // Unique number 0: the system picks a free name and creates the file, so two
    // runs never share one.
    char name[MAX_PATH];
    if (GetTempFileNameA(dir, kAgent, 0, name) == 0) return Outcome::Failed(IDS_NO_TEMP_FILE);
    _copyName = name;
    _copy = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (_copy == INVALID_HANDLE_VALUE) {
      Close();
      return Outcome::Failed(IDS_NO_TEMP_FILE);
    }
    // The system's proxy settings, so that users behind a proxy can update.
    _internet = InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (_internet == nullptr) {
      Close();
      return Outcome::Failed(IDS_NO_INTERNET);
    }
    // Set on the session, before any connection exists, so that they apply to
    // it. (Wine's WinINet ignores the receive timeout: the dialogs watch too.)
    SetOption(INTERNET_OPTION_CONNECT_RETRIES, 1);
    SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, settings.connectLimitMs);
    SetOption(INTERNET_OPTION_SEND_TIMEOUT, settings.stallLimitMs);
    SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, settings.stallLimitMs);
    return Outcome::Done();
  }

  HINTERNET Internet() const { return _internet; }
  HANDLE Copy() const { return _copy; }
  // The copy is complete.
  void CloseCopy() { CloseFile(&_copy); }

  void Close() {
    if (_internet) InternetCloseHandle(_internet);
    _internet = nullptr;
    CloseCopy();
    if (!_copyName.empty()) DeleteFileA(_copyName.c_str());
    _copyName.clear();
  }

 private:
  void SetOption(DWORD option, DWORD value) {
    InternetSetOptionA(_internet, option, &value, sizeof value);
  }

  HINTERNET _internet = nullptr;
  HANDLE _copy = INVALID_HANDLE_VALUE;
  std::string _copyName;
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
    _name = name;
    _handle = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_ARCHIVE, nullptr);
    if (_handle != INVALID_HANDLE_VALUE) return true;
    Discard();
    return false;
  }

  HANDLE Handle() const { return _handle; }

  // Puts the file in the target's place and holds it there, readable but
  // neither writable nor deletable by anyone, until the held file is dropped.
  // Nothing can swap it between the check and the start but in the moment of the
  // move, which Start's second hash catches.
  bool Commit(const std::string& target, HANDLE* held) {
    CloseFile(&_handle);
    if (!MoveFileExA(_name.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return false;
    _name.clear();
    *held = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    return *held != INVALID_HANDLE_VALUE;
  }

  void Discard() {
    CloseFile(&_handle);
    if (!_name.empty()) DeleteFileA(_name.c_str());
    _name.clear();
  }

 private:
  std::string _name;
  HANDLE _handle = INVALID_HANDLE_VALUE;
};

// What the check brings: the update description's exact bytes and its signature.
struct Feed {
  std::string text, signature;
  std::uint32_t receivedKb = 0;
};

TransferRequest RequestFor(TransferKind kind, const std::string& url, const Session& session,
                           const BuildSettings& settings) {
  TransferRequest request;
  request.kind = kind;
  request.url = url;
  request.internet = session.Internet();
  request.connectLimitMs = settings.connectLimitMs;
  request.stallLimitMs = settings.stallLimitMs;
  return request;
}

// Check: fetches the update description into the session's copy and memory,
// then its signature beside it.
Outcome FetchFeed(Session& session, const std::string& url, const BuildSettings& settings,
                  Feed* feed) {
  TransferRequest text = RequestFor(TransferKind::Configuration, url, session, settings);
  text.output = session.Copy();
  text.keepBody = true;
  text.maxBytes = kMaxConfigurationBytes;
  TransferRequest signature =
      RequestFor(TransferKind::Signature, SignatureUrl(url), session, settings);
  signature.keepBody = true;
  signature.maxBytes = kMaxSignatureBytes;
  auto textJob = std::make_shared<TransferJob>(std::move(text));
  auto signatureJob = std::make_shared<TransferJob>(std::move(signature));
  RunConnectingDialog({textJob, signatureJob});
  const Outcome fetched = textJob->Conclude();
  session.CloseCopy();
  if (!fetched.IsDone()) return fetched;
  const Outcome signatureFetched = signatureJob->Conclude();
  if (!signatureFetched.IsDone()) return signatureFetched;
  feed->text = textJob->Body();
  feed->signature = signatureJob->Body();
  feed->receivedKb = signatureJob->ReceivedKb();
  return Outcome::Done();
}

// Verify: the maker's signature over the feed's exact bytes, then what it must
// carry, its Serial and its date; *offer is what it offers. A product the feed
// does not name keeps the empty offer, version 0.0, which is never newer.
Outcome VerifyFeed(const Feed& feed, const CommandLine& line, const BuildSettings& settings,
                   Offer* offer) {
  const auto signature = ParseFeedSignature(feed.signature);
  if (!signature || !IsSignedBy(feed.text, *signature, TrustedFeedKeys(settings.feedKeys)))
    return Outcome::Failed(IDS_UNVERIFIED);
  const std::optional<KeyReader> read = IniSectionReader(feed.text, line.product);
  if (!read) return Outcome::Done();
  *offer = ReadOffer(*read, Is64BitWindows());
  std::uint64_t serial = 0;
  switch (JudgeFeed(*read, static_cast<std::uint32_t>(offer->languages.size()),
                    LastFeedSerial(line.product), TodayUtc(), &serial)) {
    case FeedVerdict::Accepted:
      RememberFeedSerial(line.product, serial);
      return Outcome::Done();
    case FeedVerdict::Replayed:
      return Outcome::Failed(IDS_REPLAYED);
    case FeedVerdict::Expired:
      return Outcome::Failed(IDS_EXPIRED);
    case FeedVerdict::Malformed:
    default:
      return Outcome::Failed(IDS_UNVERIFIED);
  }
}

// Transfer: fetches the installer into the partial file; the worker binds it to
// the feed's length and hash as the bytes arrive.
Outcome FetchInstaller(Session& session, const Download& download, const PartialFile& partial,
                       const std::string& appName, std::uint32_t receivedKb,
                       const BuildSettings& settings) {
  TransferRequest request = RequestFor(TransferKind::Installer, download.url, session, settings);
  request.output = partial.Handle();
  request.length = download.length;
  request.sha256 = download.sha256;
  // The kilobytes count on from the configuration's.
  request.startKb = receivedKb;
  auto job = std::make_shared<TransferJob>(std::move(request));
  RunDownloadDialog(job, appName, download.sizeKb);
  return job->Conclude();
}

bool HashOf(HANDLE file, Sha256Digest* digest) {
  LARGE_INTEGER start = {};
  if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return false;
  Sha256Hash hash;
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
      return false;
    if (got == 0) return hash.Finish(digest);
    hash.Add(buffer.data(), got);
  }
}

// Run: asks, and starts the saved file when it is a program or an installer
// package and still the file that was checked. Takes the held file and lets it
// go once the installer has started (or will not).
Outcome OfferToRun(const std::string& target, HANDLE held, const Sha256Digest& expected) {
  struct Release {
    HANDLE file;
    ~Release() { CloseFile(&file); }
  } release{held};
  if (ShowMessage(IDS_INSTALL_QUESTION, MB_YESNO) != IDYES) return Outcome::Done();
  if (!IsStartableInstaller(target)) {
    ShowMessage(IDS_NOT_STARTED, MB_OK);
    return Outcome::Done();
  }
  Sha256Digest digest{};
  if (!HashOf(held, &digest) || digest != expected) {
    CloseFile(&release.file);
    DeleteFileA(target.c_str());
    return Outcome::Failed(IDS_DAMAGED_FILE);
  }
  SHELLEXECUTEINFOA run = {};
  run.cbSize = sizeof run;
  run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  run.lpFile = target.c_str();
  run.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExA(&run)) return Outcome::Failed(IDS_START_FAILED);
  if (run.hProcess) CloseHandle(run.hProcess);
  return Outcome::Done();
}

// Check, offer, choose, save, transfer, verify, run.
Outcome Update(Session& session, const CommandLine& line, const BuildSettings& settings) {
  Feed feed;
  const std::string url = line.url[0] ? line.url : kDefaultConfigUrl;
  const Outcome fetched = FetchFeed(session, url, settings, &feed);
  if (!fetched.IsDone()) return fetched;

  // Nothing of the feed is read before it is known to be the maker's.
  Offer offer;
  const Outcome verified = VerifyFeed(feed, line, settings, &offer);
  if (!verified.IsDone()) return verified;
  if (!IsNewerVersion(offer.major, offer.minor, line.major, line.minor)) {
    ShowMessage(IDS_NO_NEWER, MB_OK);
    return Outcome::Done();
  }

  const std::optional<Choice> choice = RunInformationDialog(offer);
  if (!choice) return Outcome::Done();
  const Download& download = offer.DownloadFor(choice->selection);
  if (download.url.empty() || download.checksum != Download::Checksum::Given || !download.length) {
    ShowMessage(IDS_CORRUPT_FILE, MB_OK);
    return Outcome::Done();
  }
  if (choice->target.empty()) return Outcome::Done();

  PartialFile partial;
  if (!partial.Create(choice->target)) return Outcome::Failed(IDS_CANNOT_WRITE);
  const Outcome received =
      FetchInstaller(session, download, partial, offer.captionName, feed.receivedKb, settings);
  if (!received.IsDone()) return received;

  // Only a complete, checked file takes the target's place.
  HANDLE held = INVALID_HANDLE_VALUE;
  if (!partial.Commit(choice->target, &held)) return Outcome::Failed(IDS_CANNOT_WRITE);
  return OfferToRun(choice->target, held, download.sha256);
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
  if (!claim.Held()) return 0;

  const BuildSettings settings = TheBuildSettings();
  Outcome outcome = Outcome::Done();
  {
    Session session;
    const Outcome opened = session.Open(settings);
    if (!opened.IsDone()) {
      ShowMessage(opened.Message(), MB_OK);
      return -1;
    }
    outcome = Update(session, line, settings);
  }
  // Shown once everything is closed and the copy is deleted.
  if (outcome.Message() != 0) ShowMessage(outcome.Message(), MB_OK);
  return 0;
}
