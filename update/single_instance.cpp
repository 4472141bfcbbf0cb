#include "update/single_instance.h"

#include <windows.h>
#include <sddl.h>

#include <string>

namespace nuvora {

namespace {

// The user's SID as text ("S-1-5-21-..."), empty when it cannot be read.
std::string UserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return "";
  std::string text;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::string buffer(size, '\0');
  char* sid = nullptr;
  if (size && GetTokenInformation(token, TokenUser, &buffer[0], size, &size) &&
      ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(&buffer[0])->User.Sid, &sid)) {
    text = sid;
    LocalFree(sid);
  }
  CloseHandle(token);
  return text;
}

// The names of the mutex and of the record of the running process carry the
// user's SID, so that another user's program in the session does not hold
// them by chance. Section names match without regard to case, so these names do
// too; a backslash would name a namespace.
std::string ObjectName(const char* kind, const std::string& sid, const char* product) {
  std::string name = std::string("Local\\ZOV Update utility ") + kind + " " + sid + " ";
  for (const char* p = product; *p; ++p) {
    char c = *p;
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    name += c == '\\' ? '/' : c;
  }
  return name;
}

struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindFrontWindow(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != search->pid || !IsWindowVisible(hwnd)) return TRUE;
  search->found = hwnd;  // windows come in z-order: the first is the front one
  return FALSE;
}

std::string ImagePath(HANDLE process) {
  // Looked up at run time: the headers offer it only to Vista builds.
  using Query = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto query = kernel ? reinterpret_cast<Query>(reinterpret_cast<void*>(
                            GetProcAddress(kernel, "QueryFullProcessImageNameA")))
                      : nullptr;
  char path[MAX_PATH * 2] = {};
  DWORD size = sizeof path;
  return query && query(process, 0, path, &size) ? std::string(path, size) : "";
}

// Whether pid is this very program, still running.
bool IsAnotherOfUs(DWORD pid) {
  if (pid == 0 || pid == GetCurrentProcessId()) return false;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return false;
  const std::string theirs = ImagePath(process);
  CloseHandle(process);
  const std::string ours = ImagePath(GetCurrentProcess());
  return !ours.empty() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, theirs.c_str(), -1,
                                         ours.c_str(), -1) == CSTR_EQUAL;
}

// Brings the first instance's front window forward; false when there is none.
bool BringToFront(DWORD pid) {
  if (!IsAnotherOfUs(pid)) return false;
  Search search{pid, nullptr};
  EnumWindows(FindFrontWindow, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  HWND window = GetLastActivePopup(search.found);
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(window);
  return true;
}

HANDLE PublishOwnId(const std::string& name) {
  HANDLE record = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     sizeof(DWORD), name.c_str());
  if (!record) return nullptr;
  if (auto* view =
          static_cast<DWORD*>(MapViewOfFile(record, FILE_MAP_WRITE, 0, 0, sizeof(DWORD)))) {
    *view = GetCurrentProcessId();
    UnmapViewOfFile(view);
  }
  return record;
}

DWORD ReadOwnerId(const std::string& name) {
  HANDLE record = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
  if (!record) return 0;
  DWORD pid = 0;
  if (auto* view = static_cast<DWORD*>(MapViewOfFile(record, FILE_MAP_READ, 0, 0, sizeof(DWORD)))) {
    pid = *view;
    UnmapViewOfFile(view);
  }
  CloseHandle(record);
  return pid;
}

}  // namespace

ProductClaim::ProductClaim(const char* product) {
  const std::string sid = UserSid();
  _mutex = CreateMutexA(nullptr, FALSE, ObjectName("running", sid, product).c_str());
  const std::string record = ObjectName("process", sid, product);
  // Only a Nuvora that can be seen stops this one: a name that some other
  // program holds, or a first run that cannot be found, must not turn every
  // start into a silent end.
  if (_mutex && GetLastError() == ERROR_ALREADY_EXISTS && BringToFront(ReadOwnerId(record))) return;
  _record = PublishOwnId(record);
  _held = true;
}

ProductClaim::~ProductClaim() {
  if (_record) CloseHandle(_record);
  if (_mutex) CloseHandle(_mutex);
}

}  // namespace nuvora
