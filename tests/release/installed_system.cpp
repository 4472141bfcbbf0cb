#include "tests/release/installed_system.h"

#include <tlhelp32.h>

#include <cctype>
#include <vector>

#include "tests/win/test_support.h"

namespace release_test {

namespace {

// The driver works in steps of this length while it waits for a condition.
constexpr DWORD kStepMs = 20;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Text(HWND window) {
  char buffer[512] = {};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                      SMTO_ABORTIFHUNG, 3000, &ignored);
  return buffer;
}

}  // namespace

std::string SystemFolder() {
  char path[MAX_PATH] = {};
  GetSystemDirectoryA(path, MAX_PATH);
  return path;
}

std::string ExpectedInstallFolder() {
  char path[MAX_PATH] = {};
  GetEnvironmentVariableA("ProgramFiles", path, MAX_PATH);
  return std::string(path) + "\\Verivir";
}

bool SameFile(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

long long SizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string FileVersion(const std::string& path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return "";
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return "";
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || !fixed)
    return "";
  return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
         std::to_string(LOWORD(fixed->dwFileVersionMS));
}

std::optional<std::string> RegText(HKEY root, const std::string& key, const char* name) {
  char buffer[1024] = {};
  DWORD size = sizeof buffer - 1, type = 0;
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return {};
  LONG rc = RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(handle);
  if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
  return std::string(buffer);
}

std::optional<DWORD> RegNumber(HKEY root, const std::string& key, const char* name) {
  DWORD value = 0, size = sizeof value, type = 0;
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return {};
  LONG rc = RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(handle);
  if (rc != ERROR_SUCCESS || type != REG_DWORD) return {};
  return value;
}

bool RegKeyExists(HKEY root, const std::string& key) {
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

void RegSetText(HKEY root, const std::string& key, const char* name, const std::string& value) {
  HKEY handle;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS)
    return;
  RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(handle);
}

void RegSetNumber(HKEY root, const std::string& key, const char* name, DWORD value) {
  HKEY handle;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS)
    return;
  RegSetValueExA(handle, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(handle);
}

void RegDeleteValueIn(HKEY root, const std::string& key, const char* name) {
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_WRITE, &handle) != ERROR_SUCCESS) return;
  RegDeleteValueA(handle, name);
  RegCloseKey(handle);
}

void RegDeleteTree(HKEY root, const std::string& key) {
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | KEY_WRITE, &handle) != ERROR_SUCCESS) return;
  char sub[256];
  DWORD size = sizeof sub;
  while (RegEnumKeyExA(handle, 0, sub, &size, nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS) {
    RegDeleteTree(handle, sub);
    size = sizeof sub;
  }
  RegCloseKey(handle);
  RegDeleteKeyA(root, key.c_str());
}

std::string ProgramPath(DWORD pid) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
  if (snapshot == INVALID_HANDLE_VALUE) return "";
  MODULEENTRY32 module = {};
  module.dwSize = sizeof module;
  std::string path = Module32First(snapshot, &module) ? module.szExePath : "";
  CloseHandle(snapshot);
  return path;
}

namespace {

ULONGLONG CreationTime(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (ULONGLONG(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

std::string WindowsFolder() {
  char path[MAX_PATH] = {};
  GetWindowsDirectoryA(path, MAX_PATH);
  return path;
}

// A child worth waiting for. Process ids are reused at once: a process that
// names a parent of ours as its own may be older than it, and then it is not
// its child. System services that a program happens to start first (the RPC
// service, say) outlive it by design.
bool StartedAfter(DWORD pid, ULONGLONG born) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
  if (!process) return false;
  const ULONGLONG created = CreationTime(process);
  CloseHandle(process);
  if (created < born) return false;
  const std::string windows = Lower(WindowsFolder()) + "\\";
  return Lower(ProgramPath(pid)).rfind(windows, 0) != 0;
}

// Processes that pid (started at `born`) started, and those that they started.
std::vector<DWORD> Descendants(DWORD pid, ULONGLONG born) {
  std::vector<std::pair<DWORD, DWORD>> all;  // process, parent
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return {};
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    all.emplace_back(entry.th32ProcessID, entry.th32ParentProcessID);
  CloseHandle(snapshot);
  std::vector<DWORD> found{pid};
  for (size_t i = 0; i < found.size(); ++i)
    for (const auto& [process, parent] : all)
      if (parent == found[i] && process != pid && StartedAfter(process, born))
        found.push_back(process);
  found.erase(found.begin());
  return found;
}

}  // namespace

bool RunToTheEnd(const std::string& commandLine, DWORD* exitCode, DWORD timeoutMs) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return false;
  const DWORD start = GetTickCount();
  const ULONGLONG born = CreationTime(process.hProcess);
  bool ended = WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
  GetExitCodeProcess(process.hProcess, exitCode);
  // Its children outlive it (an uninstaller runs on from a copy): wait for each.
  for (bool waited = true; ended && waited;) {
    waited = false;
    for (DWORD child : Descendants(process.dwProcessId, born)) {
      HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, child);
      if (!h) continue;
      const DWORD spent = GetTickCount() - start;
      ended = spent < timeoutMs && WaitForSingleObject(h, timeoutMs - spent) == WAIT_OBJECT_0;
      waited = true;
      CloseHandle(h);
    }
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ended;
}

bool ProgramRuns(const std::string& fileName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !found;
       more = Process32Next(snapshot, &entry))
    found = SameFile(entry.szExeFile, fileName);
  CloseHandle(snapshot);
  return found;
}

void EndProgram(const std::string& fileName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (!SameFile(entry.szExeFile, fileName)) continue;
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
      TerminateProcess(process, 1);
      WaitForSingleObject(process, 10000);
      CloseHandle(process);
    }
  }
  CloseHandle(snapshot);
}

HWND SetupWizard::Find() const {
  return testing_support::FindTopWindow(0, [this](HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    std::string caption = Text(hwnd);
    // NSIS ends the uninstaller's caption with a blank.
    while (!caption.empty() && caption.back() == ' ') caption.pop_back();
    const bool named = caption == caption_ || caption.rfind(caption_ + ":", 0) == 0;
    return std::string(name) == "#32770" && named;
  });
}

bool SetupWizard::Appear(DWORD timeoutMs) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(kStepMs))
    if ((window_ = Find())) return true;
  return false;
}

bool SetupWizard::Reach(const std::string& label, DWORD timeoutMs) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(kStepMs)) {
    if (!IsWindow(window_)) return false;
    // The forward button (Next, Install, Finish) is command 1 on every page.
    HWND button = GetDlgItem(window_, IDOK);
    if (button && IsWindowVisible(button) && IsWindowEnabled(button) && Text(button) == label)
      return true;
  }
  return false;
}

bool SetupWizard::Press(const std::string& label, DWORD timeoutMs) {
  if (!Reach(label, timeoutMs)) return false;
  HWND button = GetDlgItem(window_, IDOK);
  PostMessageA(button, BM_CLICK, 0, 0);
  // The page has changed when the button reads otherwise or the wizard is gone.
  for (DWORD moved = GetTickCount(); GetTickCount() - moved < timeoutMs; Sleep(kStepMs))
    if (!IsWindow(window_) || Text(button) != label) return true;
  return false;
}

namespace {

struct TextSearch {
  const std::string* text;
  HWND found;
};

BOOL CALLBACK FindText(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<TextSearch*>(lParam);
  if (!IsWindowVisible(hwnd) || Text(hwnd) != *search->text) return TRUE;
  search->found = hwnd;
  return FALSE;
}

}  // namespace

HWND SetupWizard::Control(const std::string& text) const {
  TextSearch search{&text, nullptr};
  if (IsWindow(window_)) EnumChildWindows(window_, FindText, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

Program::Program(const std::string& commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process_))
    process_ = {};
}

Program::~Program() {
  if (!started()) return;
  if (running()) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 10000);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool Program::End(DWORD* exitCode, DWORD timeoutMs) {
  if (!started() || WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
    return false;
  GetExitCodeProcess(process_.hProcess, exitCode);
  return true;
}

long SaverRunsAndCloses(const std::string& saver) {
  Program run("\"" + saver + "\" /s");
  HWND ready = nullptr;
  if (run.started()) {
    // Building the text's glyphs on a software renderer takes a while.
    for (DWORD start = GetTickCount(); !ready && run.running() && GetTickCount() - start < 120000;
         Sleep(kStepMs))
      ready = testing_support::FindTopWindow(
          run.pid(), [](HWND hwnd) { return GetPropA(hwnd, "VerivirSceneReady") != nullptr; });
  }
  DWORD code = 0;
  if (ready) PostMessageA(ready, WM_CLOSE, 0, 0);
  const bool ended = run.End(&code, 30000);
  return ready && ended ? static_cast<long>(code) : -1;
}

bool SetupWizard::End(DWORD timeoutMs) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window_, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  bool ended = true;
  if (process) {
    ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
    CloseHandle(process);
  }
  return ended && !IsWindow(window_);
}

}  // namespace release_test
