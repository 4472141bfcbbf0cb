// What an installation left on the system, read from inside Windows: files,
// their versions, registry values, running programs; and the setup wizard,
// driven from outside like a user.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace release_test {

inline const char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Verivir";
inline const char kAppPathKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Nuvora.exe";
inline const char kDesktopKey[] = "Control Panel\\Desktop";
inline const char kSettingsKey[] = "Software\\Morvel Software Development\\Screen Savers\\Verivir";

std::string SystemFolder();
// Where the installer puts Nuvora and the uninstaller: the program files folder.
std::string ExpectedInstallFolder();
bool SameFile(const std::string& a, const std::string& b);  // paths compared without case
bool Exists(const std::string& path);
long long SizeOf(const std::string& path);
// "major.minor" of the fixed file version, or "" when the file has none.
std::string FileVersion(const std::string& path);

std::optional<std::string> RegText(HKEY root, const std::string& key, const char* name);
std::optional<DWORD> RegNumber(HKEY root, const std::string& key, const char* name);
bool RegKeyExists(HKEY root, const std::string& key);
void RegSetText(HKEY root, const std::string& key, const char* name, const std::string& value);
void RegSetNumber(HKEY root, const std::string& key, const char* name, DWORD value);
void RegDeleteValueIn(HKEY root, const std::string& key, const char* name);
void RegDeleteTree(HKEY root, const std::string& key);

// Runs a command line and waits until it and every process it started have
// ended (an uninstaller hands over to a copy of itself). False on timeout.
bool RunToTheEnd(const std::string& commandLine, DWORD* exitCode, DWORD timeoutMs = 120000);
// The program file a process runs ("" when it cannot be told yet).
std::string ProgramPath(DWORD pid);
// Whether a process runs whose program file name is exactly this (no case).
bool ProgramRuns(const std::string& fileName);
// Ends every process whose program file name is this.
void EndProgram(const std::string& fileName);

// A program started from the test, ended if it still runs when this goes out of scope.
class Program {
 public:
  explicit Program(const std::string& commandLine);
  ~Program();
  bool started() const { return process_.hProcess != nullptr; }
  DWORD pid() const { return process_.dwProcessId; }
  bool running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
  // Waits until it has ended; false on timeout.
  bool End(DWORD* exitCode, DWORD timeoutMs = 120000);

 private:
  PROCESS_INFORMATION process_ = {};
};

// Starts a screen saver full screen and closes it once it says its scene is
// ready: its exit code then, or -1 when it never got ready.
long SaverRunsAndCloses(const std::string& saver);

// The setup wizard whose window caption is exactly `caption`.
class SetupWizard {
 public:
  explicit SetupWizard(std::string caption) : caption_(std::move(caption)) {}
  // Waits for the window; false after the timeout.
  bool Appear(DWORD timeoutMs = 60000);
  // Waits until the wizard's forward button reads `label` and can be pressed.
  bool Reach(const std::string& label, DWORD timeoutMs = 60000);
  // Reaches `label`, then presses it. False when that does not happen in time.
  bool Press(const std::string& label, DWORD timeoutMs = 60000);
  // A control of the page shown now, by its text; nullptr when there is none.
  HWND Control(const std::string& text) const;
  // Waits until the window and its process are gone.
  bool End(DWORD timeoutMs = 60000);
  // The wizard's window now, or nullptr. Pages after the first add their
  // name to the caption ("Verivir 1.18 Setup: Completed").
  HWND Find() const;
  // The window that Appear found.
  HWND window() const { return window_; }

 private:
  std::string caption_;
  HWND window_ = nullptr;
};

}  // namespace release_test
