#include "update/save_folder.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

namespace nuvora {

namespace {

// FOLDERID_Downloads, spelled out so that no GUID library is needed.
const GUID kDownloads = {
    0x374de290, 0x123f, 0x4565, {0x91, 0x64, 0x39, 0xc4, 0x92, 0x5e, 0x46, 0x7b}};

bool IsFolder(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DownloadsFolder(char* folder, std::size_t size) {
  // Looked up at run time: systems before Vista have no known folders.
  using GetKnownFolder = HRESULT(WINAPI*)(REFGUID, DWORD, HANDLE, PWSTR*);
  HMODULE shell = GetModuleHandleA("shell32.dll");
  auto get = shell ? reinterpret_cast<GetKnownFolder>(
                         reinterpret_cast<void*>(GetProcAddress(shell, "SHGetKnownFolderPath")))
                   : nullptr;
  PWSTR wide = nullptr;
  if (!get || FAILED(get(kDownloads, 0, nullptr, &wide)) || !wide) return false;
  BOOL lossy = FALSE;
  const int len =
      WideCharToMultiByte(CP_ACP, 0, wide, -1, folder, static_cast<int>(size), nullptr, &lossy);
  CoTaskMemFree(wide);
  // A name the ANSI code page cannot spell would open some other folder.
  return len > 0 && !lossy && IsFolder(folder);
}

}  // namespace

bool DefaultSaveFolder(char* folder, std::size_t size) {
  if (size == 0) return false;
  if (DownloadsFolder(folder, size)) return true;
  char profile[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, 0, profile)) &&
      std::strlen(profile) < size) {
    std::strcpy(folder, profile);
    return true;
  }
  folder[0] = '\0';
  return false;
}

}  // namespace nuvora
