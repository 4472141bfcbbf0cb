// Drives Nuvora.exe from outside: starts it, finds its windows by caption and
// class, reads their controls and presses their buttons.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace nuvora_test {

// Which of Nuvora's top-level windows.
enum class Kind { About, Connecting, Information, Download, Message, SaveAs };

// http://127.0.0.1:<port>/<path> of the loopback test server.
std::string Url(const std::string& path);
// https://localhost:<port>/<path>: the same folder, behind a certificate of the
// test authority (trusted while a TrustedTestAuthority lives) or a self-signed one.
std::string TlsUrl(const std::string& path, bool selfSigned = false);

using Keys = std::vector<std::pair<std::string, std::string>>;
// An update description with one section, completed as tools/release writes a
// feed: a Serial and an Expires date unless given, and for every Path%.3d (plain
// and .x64) its Length%.3d and Sha256%.3d unless given, those of what the
// loopback server sends for it.
std::string Feed(const std::string& section, Keys keys);

// What the loopback server sends for one of its URLs with its fault parameters
// left out: a generated body (size=N) or a served file; "" when it has none.
std::string ServedBody(const std::string& url);

// An ECDSA P-256 key that signs feeds as tools/release does.
class FeedKey {
 public:
  // The key the Nuvora under test trusts, made when the build was configured.
  static const FeedKey& Trusted();
  // A new key that nobody trusts.
  FeedKey();
  ~FeedKey();
  FeedKey(const FeedKey&) = delete;
  FeedKey& operator=(const FeedKey&) = delete;

  std::string Sign(const std::string& bytes) const;  // 128 hex digits, r then s
  std::string Public() const;                        // 128 hex digits, X then Y

 private:
  explicit FeedKey(const std::string& privateHex);
  void* _key = nullptr;
};

// A feed key trusted by an administrator (HKEY_LOCAL_MACHINE) or, to no avail, by
// the user (HKEY_CURRENT_USER), while the object lives.
class ScopedTrustedKey {
 public:
  ScopedTrustedKey(HKEY root, const std::string& publicHex);
  ~ScopedTrustedKey();
  ScopedTrustedKey(const ScopedTrustedKey&) = delete;
  ScopedTrustedKey& operator=(const ScopedTrustedKey&) = delete;

 private:
  HKEY _root;
};

// The test authority among the machine's trusted roots while the object lives.
class TrustedTestAuthority {
 public:
  TrustedTestAuthority();
  ~TrustedTestAuthority();
  TrustedTestAuthority(const TrustedTestAuthority&) = delete;
  TrustedTestAuthority& operator=(const TrustedTestAuthority&) = delete;
  bool Ok() const { return _added; }

 private:
  bool _added = false;
};

// Forgets the feed Serials Nuvora accepted, so that a case starts afresh.
void ForgetFeedSerials();

// Reads and writes files; paths are Windows paths.
bool WriteTextFile(const std::string& path, const std::string& text);
std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
long long FileSize(const std::string& path);

// Text of a control of another process's window.
std::string ControlText(HWND dialog, int id);
std::string Text(HWND window);
// Texts of a combo box's entries, and its selection.
std::vector<std::string> ComboItems(HWND combo);
int ComboSelection(HWND combo);
// Presses a button (posts its command to the dialog, as a click would).
void Press(HWND dialog, int id);
// The text that a message box shows.
std::string MessageText(HWND box);

// One run of Nuvora.exe, with its own temporary folder and working files.
class NuvoraRun {
 public:
  // name: a folder name unique to the test case, for served and local files.
  explicit NuvoraRun(const std::string& name);
  ~NuvoraRun();

  // Serves text as <served>/<file>; returns its URL.
  std::string Serve(const std::string& file, const std::string& text);
  // Serves a feed and, as <file>.sig, its signature by the trusted key.
  std::string ServeFeed(const std::string& file, const std::string& text);
  // Copies the test installer program into the served folder; returns its URL.
  std::string ServeInstaller(const std::string& file);
  std::string ServedPath(const std::string& file) const;
  // A path in the run's local folder (where downloads go).
  std::string LocalPath(const std::string& file) const;

  // tempFolder: where TMP points (default: the run's own empty folder).
  bool Start(const std::string& commandLine, const std::string& tempFolder = "");
  // Waits for a window of the kind; nullptr after the timeout.
  HWND WaitFor(Kind kind, DWORD timeoutMs = 15000);
  // The window of that kind now, or nullptr.
  HWND Find(Kind kind);
  // Waits for the process to end; false on timeout. *code gets its exit code.
  bool WaitExit(DWORD* code, DWORD timeoutMs = 15000);
  // Waits for the end while watching that no message box appears.
  // Returns the text of a message box that appeared, or "" when none did.
  std::string ExitsWithoutMessage(DWORD* code, DWORD timeoutMs = 15000);
  // Fills the Save As dialog with a path and confirms it.
  bool SaveAs(const std::string& path);
  // The file name that the open Save As dialog proposes ("" when there is none).
  std::string SaveAsProposal();
  // True while Nuvora's temporary copy of the update file exists.
  bool TemporaryFilePresent() const;
  // Its size, -1 when there is none.
  long long TemporaryFileSize() const;
  // Files that Nuvora names like its temporary files ("ZOV*.tmp") in the local
  // folder, where partial downloads go: none may stay behind.
  int LeftoverPartialFiles() const;
  // Size of the download that is still arriving there, -1 when there is none.
  long long PartialFileSize() const;
  // The folder that TMP points to in this run.
  std::string TempFolder() const;

  DWORD Pid() const { return _process.dwProcessId; }

 private:
  std::string _name, _served, _local, _temp;
  PROCESS_INFORMATION _process = {};
};

}  // namespace nuvora_test
