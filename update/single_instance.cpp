#include "update/single_instance.h"

#include <windows.h>

#include <string>

namespace nuvora {

namespace {

// Section names match without regard to case, so the names of the mutex and of
// the record of the running process do too; a backslash would name a namespace.
std::string ObjectName(const char* kind, const char* product) {
  std::string name = std::string("Local\\ZOV Update utility ") + kind + " ";
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

void BringToFront(DWORD pid) {
  Search search{pid, nullptr};
  EnumWindows(FindFrontWindow, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return;
  HWND window = GetLastActivePopup(search.found);
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(window);
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
  mutex_ = CreateMutexA(nullptr, FALSE, ObjectName("running", product).c_str());
  const std::string record = ObjectName("process", product);
  if (mutex_ && GetLastError() == ERROR_ALREADY_EXISTS) {
    if (DWORD pid = ReadOwnerId(record)) BringToFront(pid);
    return;
  }
  record_ = PublishOwnId(record);
  held_ = true;
}

ProductClaim::~ProductClaim() {
  if (record_) CloseHandle(record_);
  if (mutex_) CloseHandle(mutex_);
}

}  // namespace nuvora
