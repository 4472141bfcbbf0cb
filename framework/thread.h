// Thread objects and the thread starter.
#pragma once
#include <windows.h>

#include "framework/object.h"

typedef UINT (*AFX_THREADPROC)(LPVOID);

class CWinThread : public CObject {
  DECLARE_DYNAMIC(CWinThread)
 public:
  CWinThread() = default;
  CWinThread(AFX_THREADPROC proc, LPVOID param) : m_pfnThreadProc(proc), m_pThreadParams(param) {}
  ~CWinThread() override;
  CWinThread(const CWinThread&) = delete;
  CWinThread& operator=(const CWinThread&) = delete;

  DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
  BOOL SetThreadPriority(int priority) { return ::SetThreadPriority(m_hThread, priority); }

  // Starts the thread; with CREATE_SUSPENDED it waits for ResumeThread.
  BOOL CreateThread(DWORD flags = 0, UINT stackSize = 0, LPSECURITY_ATTRIBUTES sa = nullptr);

  HANDLE m_hThread = nullptr;
  DWORD m_nThreadID = 0;
  // When set, the object deletes itself as the thread procedure returns.
  BOOL m_bAutoDelete = TRUE;
  AFX_THREADPROC m_pfnThreadProc = nullptr;
  LPVOID m_pThreadParams = nullptr;
};

// Creates a worker thread running proc(param); null on failure.
CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority = THREAD_PRIORITY_NORMAL,
                           UINT stackSize = 0, DWORD createFlags = 0,
                           LPSECURITY_ATTRIBUTES sa = nullptr);
