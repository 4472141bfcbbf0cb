#include "glx/animator.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <mmsystem.h>

#include <stdexcept>

namespace glx {

IMPLEMENT_DYNCREATE(CAnimator, CObject)

namespace {
constexpr DWORD kFrameGapMs = 30;  // a frame is due once more than this has passed
}

CAnimator::CAnimator() { _wake = CreateEventA(nullptr, FALSE, FALSE, nullptr); }

CAnimator::~CAnimator() {
  if (_thread) {
    // Normally Stop has ended the thread. An engine deleted without Stop may
    // still own a thread that never ran; it must not run in a deleted engine.
    if (WaitForSingleObject(_thread->m_hThread, 0) == WAIT_TIMEOUT) {
      TerminateThread(_thread->m_hThread, 0);
      WaitForSingleObject(_thread->m_hThread, INFINITE);
    }
    delete _thread;
    _thread = nullptr;
  }
  if (_wake) CloseHandle(_wake);
}

bool CAnimator::AttachWindow(HWND hwnd) {
  if (!IsWindow(hwnd)) return false;
  _lastFrame = Now();
  _hwnd = hwnd;
  _thread = AfxBeginThread(ThreadProc, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED, nullptr);
  if (!_thread) return false;
  _thread->m_bAutoDelete = FALSE;  // still suspended: no race with the thread's end
  _suspended = true;
  return true;
}

void CAnimator::ApplySettings() {}

bool CAnimator::InitGL() {
  _hdc = GetDC(_hwnd);
  if (!_hdc) return false;
  try {
    SetupPixelFormat(0, 24, 16);
    CreateRC();
  } catch (...) {
    DeleteRC();
    FreeDC();
    return false;
  }
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  return true;
}

bool CAnimator::ExitGL() { return true; }

int CAnimator::SetupPixelFormat(DWORD flags, BYTE colorBits, BYTE depthBits) {
  PIXELFORMATDESCRIPTOR pfd = {};
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  pfd.dwFlags = flags;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = colorBits;
  pfd.cDepthBits = depthBits;
  pfd.iLayerType = PFD_MAIN_PLANE;
  int format = ChoosePixelFormat(_hdc, &pfd);
  _doubleBuffer = (flags & PFD_DOUBLEBUFFER) != 0;
  if (format == 0)
    throw std::runtime_error("glx::CAnimator::SetupPixelFormat: ChoosePixelFormat failed!");
  BOOL ok = SetPixelFormat(_hdc, format, &pfd);
  if (!ok) throw std::runtime_error("glx::CAnimator::SetupPixelFormat: SetPixelFormat failed!");
  return ok;
}

bool CAnimator::SetViewport(int cx, int cy) {
  glViewport(0, 0, cx, cy);
  return true;
}

bool CAnimator::SetProjection(double aspect) {
  gluPerspective(40.0, aspect, 0.1, 20.0);
  return true;
}

bool CAnimator::SetupView() {
  glLoadIdentity();
  glTranslatef(0.0f, 0.0f, -4.0f);
  glRotatef(20.0f, 1.0f, 0.0f, 0.0f);
  return true;
}

void CAnimator::Advance() {}
void CAnimator::PreDraw() {}
void CAnimator::Draw() {}

bool CAnimator::ThreadInit() { return InitGL(); }

bool CAnimator::ThreadExit() {
  bool result = ExitGL();
  DeleteRC();
  FreeDC();
  return result;
}

void CAnimator::Resize() {
  _resize = false;
  int cx = _cx, cy = _cy;
  double aspect = static_cast<double>(cx) / cy;
  try {
    SetViewport(cx, cy);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    SetProjection(aspect);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    SetupView();
  } catch (...) {
  }
}

bool CAnimator::CreateRC() {
  _hrc = wglCreateContext(_hdc);
  if (!_hrc) throw std::runtime_error("glx::CAnimator::CreateRC: _hrc is NULL");
  if (!wglMakeCurrent(_hdc, _hrc))
    throw std::runtime_error("glx::CAnimator::CreateRC: wglMakeCurrent failed");
  return true;
}

void CAnimator::DeleteRC() {
  wglMakeCurrent(nullptr, nullptr);
  if (_hrc) wglDeleteContext(_hrc);
  _hrc = nullptr;
}

void CAnimator::FreeDC() {
  if (_hdc) ReleaseDC(_hwnd, _hdc);
  _hdc = nullptr;
}

bool CAnimator::Step() {
  if (_resize) Resize();
  if (_stop) return false;
  if (_running && IsFrameDue()) {
    RenderFrame();
    Advance();
  }
  return true;
}

void CAnimator::RenderFrame() {
  int pushed = 0;
  try {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SetupView();
    glPushMatrix();
    pushed = 1;
    PreDraw();
    glPopMatrix();
    pushed = 0;
    glPushMatrix();
    pushed = 1;
    Draw();
    glPopMatrix();
    pushed = 0;
  } catch (...) {
    // Keep the matrix stack balanced, or a hook that keeps failing overflows it.
    if (pushed) glPopMatrix();
    return;
  }
  if (_doubleBuffer) SwapBuffers(_hdc);
}

bool CAnimator::IsFrameDue() {
  if (!IsWindow(_hwnd)) return false;
  if (Now() - _lastFrame <= kFrameGapMs) return false;  // unsigned: the wrap is harmless
  _lastFrame = Now();
  return true;
}

DWORD CAnimator::Now() const { return timeGetTime(); }

void CAnimator::WaitForNextStep() {
  DWORD timeout = INFINITE;  // not animating, or the window is gone: wait for a wake-up
  if (_running && IsWindow(_hwnd)) {
    DWORD elapsed = Now() - _lastFrame;
    timeout = elapsed > kFrameGapMs ? 0 : kFrameGapMs + 1 - elapsed;
  }
  if (timeout != 0) WaitForSingleObject(_wake, timeout);
}

void CAnimator::StartAnimation() {
  _running = true;
  SetEvent(_wake);
}

void CAnimator::SetSize(int cx, int cy) {
  _cx = cx;
  _cy = cy;
  _resize = true;
  SetEvent(_wake);
}

// Suspend and Resume are kept balanced: a second Suspend without a Resume in
// between does nothing, so one Resume always lets the thread run again.
void CAnimator::Suspend() {
  if (_thread && !_suspended) {
    _thread->SuspendThread();
    _suspended = true;
  }
}

void CAnimator::Resume() {
  if (_thread && _suspended) {
    _thread->ResumeThread();
    _suspended = false;
  }
}

void CAnimator::Stop(DWORD timeoutMs) {
  if (!_thread) return;
  _lock.Lock();
  _stop = true;
  _lock.Unlock();
  SetEvent(_wake);
  if (WaitForSingleObject(_thread->m_hThread, timeoutMs) == WAIT_TIMEOUT) {
    // The window deletes the engine right after Stop; a thread that did not
    // end in time (a hung driver call, say) must not run on in a deleted engine.
    TerminateThread(_thread->m_hThread, 0);
    WaitForSingleObject(_thread->m_hThread, INFINITE);
  }
}

UINT CAnimator::ThreadProc(LPVOID param) {
  auto* self = static_cast<CAnimator*>(param);
  timeBeginPeriod(1);
  bool result = false;
  try {
    if (!self->ThreadInit()) {
      // No ThreadExit here, but a context or device context that a scene's
      // failed set-up left behind is still released.
      self->DeleteRC();
      self->FreeDC();
      timeEndPeriod(1);
      return 0;
    }
    while (self->Step()) self->WaitForNextStep();
  } catch (...) {
  }
  try {
    result = self->ThreadExit();
  } catch (...) {
  }
  timeEndPeriod(1);
  return result ? 1 : 0;
}

}  // namespace glx
