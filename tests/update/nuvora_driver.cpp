#include "tests/update/nuvora_driver.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/win/test_support.h"

namespace nuvora_test {

namespace {

const char kCaption[] = "ZOV Update utility";
const char kSaveAsTitle[] = "ZOV Update utility 1.2";
constexpr UINT kSendTimeoutMs = 3000;

int ServerPort() {
  static int port = [] {
    std::ifstream in(std::string(NUVORA_SERVER_STATE) + "/server.port");
    int p = 0;
    in >> p;
    return p;
  }();
  return port;
}

std::string ClassOf(HWND hwnd) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

BOOL CALLBACK CollectStatics(HWND hwnd, LPARAM lParam) {
  if (ClassOf(hwnd) == "Static") reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
  return TRUE;
}

BOOL CALLBACK CollectEdits(HWND hwnd, LPARAM lParam) {
  if (ClassOf(hwnd) == "Edit" && IsWindowVisible(hwnd))
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
  return TRUE;
}

bool IsKind(HWND hwnd, Kind kind) {
  const std::string caption = Text(hwnd);
  if (kind == Kind::SaveAs) return caption == kSaveAsTitle && GetDlgItem(hwnd, IDYES) == nullptr;
  if (caption != kCaption) return false;
  const bool about = MessageText(hwnd).find("Update utility  -  Version") != std::string::npos;
  switch (kind) {
    case Kind::About:
      return about;
    case Kind::Connecting:
      return GetDlgItem(hwnd, 1011) != nullptr;
    case Kind::Information:
      return GetDlgItem(hwnd, 1000) != nullptr;
    case Kind::Download:
      return GetDlgItem(hwnd, 1005) != nullptr;
    case Kind::Message: {
      // A dialog being torn down can lose its controls before it disappears:
      // a message box is known by its answer buttons and its text.
      if (about || GetDlgItem(hwnd, 1011) || GetDlgItem(hwnd, 1000) || GetDlgItem(hwnd, 1005))
        return false;
      if (!GetDlgItem(hwnd, IDOK) && !GetDlgItem(hwnd, IDYES)) return false;
      const std::string text = MessageText(hwnd);
      return !text.empty() && text.rfind("The following version", 0) != 0;
    }
    default:
      return false;
  }
}

void EmptyFolder(const std::string& dir) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir + "/*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      DeleteFileA((dir + "/" + data.cFileName).c_str());
  } while (FindNextFileA(find, &data));
  FindClose(find);
}

std::string Windows(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace

std::string Url(const std::string& path) {
  return "http://127.0.0.1:" + std::to_string(ServerPort()) + "/" + path;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return bool(out);
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

long long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string Text(HWND window) {
  char buffer[1024] = {};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                      SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
  return buffer;
}

std::string ControlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control ? Text(control) : "<no control>";
}

std::vector<std::string> ComboItems(HWND combo) {
  std::vector<std::string> items;
  LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    // The wide message: Wine hands the ANSI one across processes as one character.
    wchar_t wide[512] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
    char item[512] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, item, sizeof item, nullptr, nullptr);
    items.push_back(item);
  }
  return items;
}

int ComboSelection(HWND combo) { return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)); }

void Press(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string MessageText(HWND box) {
  std::vector<HWND> statics;
  EnumChildWindows(box, CollectStatics, reinterpret_cast<LPARAM>(&statics));
  std::string longest;
  for (HWND s : statics) {
    std::string t = Text(s);
    if (t.size() > longest.size()) longest = t;
  }
  return longest;
}

NuvoraRun::NuvoraRun(const std::string& name) : name_(name) {
  served_ = std::string(NUVORA_SERVER_STATE) + "/served/" + name;
  local_ = std::string(NUVORA_WORK_DIR) + "/" + name;
  temp_ = local_ + "/temp";
  std::string work = NUVORA_WORK_DIR;
  CreateDirectoryA(work.c_str(), nullptr);
  // Files left by an earlier run would change what the dialogs ask.
  for (const std::string& dir : {served_, local_, temp_}) {
    CreateDirectoryA(dir.c_str(), nullptr);
    EmptyFolder(dir);
  }
}

NuvoraRun::~NuvoraRun() {
  if (process_.hProcess) {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 99);
      WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
}

std::string NuvoraRun::ServedPath(const std::string& file) const { return served_ + "/" + file; }
std::string NuvoraRun::LocalPath(const std::string& file) const {
  return Windows(local_ + "/" + file);
}

std::string NuvoraRun::Serve(const std::string& file, const std::string& text) {
  WriteTextFile(ServedPath(file), text);
  return Url(name_ + "/" + file);
}

std::string NuvoraRun::ServeInstaller(const std::string& file) {
  CopyFileA(NUVORA_TEST_INSTALLER, ServedPath(file).c_str(), FALSE);
  return Url(name_ + "/" + file);
}

bool NuvoraRun::Start(const std::string& commandLine, const std::string& tempFolder) {
  const std::string temp = Windows(tempFolder.empty() ? temp_ : tempFolder);
  // Each run gets its own temporary folder: every run of Nuvora uses the same
  // temporary file name, and the cases run in parallel.
  SetEnvironmentVariableA("TMP", temp.c_str());
  SetEnvironmentVariableA("TEMP", temp.c_str());
  std::string line = "\"" + Windows(NUVORA_EXE) + "\" " + commandLine;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  return CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        Windows(local_).c_str(), &startup, &process_) != FALSE;
}

HWND NuvoraRun::Find(Kind kind) {
  return testing_support::FindTopWindow(process_.dwProcessId, [kind](HWND hwnd) {
    return ClassOf(hwnd) == "#32770" && IsKind(hwnd, kind);
  });
}

HWND NuvoraRun::WaitFor(Kind kind, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND hwnd = Find(kind)) return hwnd;
    if (GetTickCount() - start > timeoutMs) return nullptr;
    if (WaitForSingleObject(process_.hProcess, 20) == WAIT_OBJECT_0) return Find(kind);
  }
}

bool NuvoraRun::WaitExit(DWORD* code, DWORD timeoutMs) {
  if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(process_.hProcess, code);
  return true;
}

std::string NuvoraRun::ExitsWithoutMessage(DWORD* code, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(process_.hProcess, 20) == WAIT_TIMEOUT) {
    if (HWND box = Find(Kind::Message)) return MessageText(box);
    if (GetTickCount() - start > timeoutMs) return "<still running>";
  }
  GetExitCodeProcess(process_.hProcess, code);
  return "";
}

namespace {

void SetFileNameField(HWND dialog, const std::string& text) {
  std::vector<HWND> edits;
  EnumChildWindows(dialog, CollectEdits, reinterpret_cast<LPARAM>(&edits));
  DWORD_PTR ignored = 0;
  for (HWND edit : edits)
    SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
}

bool Gone(HWND dialog, DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 20) {
    if (!IsWindow(dialog) || !IsWindowVisible(dialog)) return true;
    Sleep(20);
  }
  return false;
}

}  // namespace

std::string NuvoraRun::SaveAsProposal() {
  HWND dialog = WaitFor(Kind::SaveAs);
  if (!dialog) return "";
  // The dialog fills its name field a moment after it shows.
  std::string text;
  for (int i = 0; i < 100 && text.empty(); ++i) {
    std::vector<HWND> edits;
    EnumChildWindows(dialog, CollectEdits, reinterpret_cast<LPARAM>(&edits));
    for (HWND edit : edits)
      if (text.empty()) text = Text(edit);
    if (text.empty()) Sleep(20);
  }
  return text;
}

bool NuvoraRun::SaveAs(const std::string& path) {
  HWND dialog = WaitFor(Kind::SaveAs);
  if (!dialog) return false;
  // The dialog fills its fields a moment after it shows and may miss an early
  // OK: set the name and press OK until it goes away.
  for (int attempt = 0; attempt < 10; ++attempt) {
    Sleep(100);
    SetFileNameField(dialog, Windows(path));
    Press(dialog, IDOK);
    // An existing file makes the dialog ask whether to replace it: Yes.
    for (int i = 0; i < 25; ++i) {
      HWND replace = FindWindowExA(nullptr, nullptr, "#32770", kSaveAsTitle);
      for (; replace; replace = FindWindowExA(nullptr, replace, "#32770", kSaveAsTitle)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(replace, &owner);
        if (owner == process_.dwProcessId && GetDlgItem(replace, IDYES)) break;
      }
      if (replace) {
        Press(replace, IDYES);
        break;
      }
      if (Gone(dialog, 20)) return true;
    }
    if (Gone(dialog, 700)) return true;
  }
  return false;
}

namespace {

// Files named by GetTempFileName with the prefix "ZOV" in a folder.
std::vector<std::string> ZovFiles(const std::string& dir) {
  std::vector<std::string> files;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir + "/ZOV*.tmp").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return files;
  do files.push_back(dir + "/" + data.cFileName);
  while (FindNextFileA(find, &data));
  FindClose(find);
  return files;
}

}  // namespace

bool NuvoraRun::TemporaryFilePresent() const { return !ZovFiles(temp_).empty(); }

long long NuvoraRun::TemporaryFileSize() const {
  const auto files = ZovFiles(temp_);
  return files.empty() ? -1 : FileSize(files.front());
}

int NuvoraRun::LeftoverPartialFiles() const { return static_cast<int>(ZovFiles(local_).size()); }

long long NuvoraRun::PartialFileSize() const {
  const auto files = ZovFiles(local_);
  return files.empty() ? -1 : FileSize(files.front());
}

std::string NuvoraRun::TempFolder() const { return temp_; }

}  // namespace nuvora_test
