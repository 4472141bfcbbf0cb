// Critical section object.
#pragma once
#include <windows.h>

class CCriticalSection {
 public:
  CCriticalSection() { InitializeCriticalSection(&m_sect); }
  ~CCriticalSection() { DeleteCriticalSection(&m_sect); }
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;
  BOOL Lock() {
    EnterCriticalSection(&m_sect);
    return TRUE;
  }
  BOOL Unlock() {
    LeaveCriticalSection(&m_sect);
    return TRUE;
  }

  CRITICAL_SECTION m_sect;
};
