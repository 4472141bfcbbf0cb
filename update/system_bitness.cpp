#include "update/system_bitness.h"

#include <windows.h>

namespace nuvora {

bool Is64BitWindows() {
#if defined(_WIN64)
  return true;
#else
  // Looked up at run time: older systems lack the function (and are 32-bit).
  using IsWow64 = BOOL(WINAPI*)(HANDLE, PBOOL);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto isWow64 = kernel ? reinterpret_cast<IsWow64>(
                              reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
                        : nullptr;
  BOOL wow64 = FALSE;
  return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
#endif
}

}  // namespace nuvora
