#include "framework/thread.h"

#include <process.h>

IMPLEMENT_DYNAMIC(CWinThread, CObject)

namespace {

unsigned __stdcall ThreadEntry(void* p) {
  auto* thread = static_cast<CWinThread*>(p);
  UINT result = thread->m_pfnThreadProc(thread->m_pThreadParams);
  if (thread->m_bAutoDelete) delete thread;
  return result;
}

}  // namespace

CWinThread::~CWinThread() {
  if (m_hThread) CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD flags, UINT stackSize, LPSECURITY_ATTRIBUTES sa) {
  unsigned id = 0;
  // Always start suspended so that the priority is set before any code runs.
  uintptr_t h = _beginthreadex(sa, stackSize, ThreadEntry, this, CREATE_SUSPENDED, &id);
  if (!h) return FALSE;
  m_hThread = reinterpret_cast<HANDLE>(h);
  m_nThreadID = id;
  if (!(flags & CREATE_SUSPENDED)) ResumeThread();
  return TRUE;
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT stackSize,
                           DWORD createFlags, LPSECURITY_ATTRIBUTES sa) {
  auto* thread = new CWinThread(proc, param);
  if (!thread->CreateThread(createFlags | CREATE_SUSPENDED, stackSize, sa)) {
    delete thread;
    return nullptr;
  }
  thread->SetThreadPriority(priority);
  if (!(createFlags & CREATE_SUSPENDED)) thread->ResumeThread();
  return thread;
}
