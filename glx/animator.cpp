#include "glx/animator.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <dwmapi.h>
#include <mmsystem.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

#include "glx/pixel_format.h"
#include "glx/report_failure.h"

namespace glx {

IMPLEMENT_DYNCREATE(CAnimator, CObject)

std::atomic<unsigned> CAnimator::_abandonedThreads{0};

namespace {
constexpr DWORD kPauseWaitMs = 5000;  // longest wait for a pause to be confirmed

using SwapIntervalFn = BOOL(WINAPI*)(int);
using ExtensionsFn = const char*(WINAPI*)(HDC);
using TimingInfoFn = HRESULT(WINAPI*)(HWND, DWM_TIMING_INFO*);

template <class Fn>
Fn GlFunction(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(wglGetProcAddress(name)));
}

// The driver's wglSwapIntervalEXT, where it lists it among its extensions
// (the WGL list, or on older drivers the GL one).
SwapIntervalFn SwapIntervalFunction(HDC dc) {
  std::string list;
  if (auto extensions = GlFunction<ExtensionsFn>("wglGetExtensionsStringARB"))
    if (const char* wgl = extensions(dc)) list = wgl;
  if (const auto* gl = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)))
    list.append(" ").append(gl);
  if (!has_extension(list, "WGL_EXT_swap_control")) return nullptr;
  return GlFunction<SwapIntervalFn>("wglSwapIntervalEXT");
}

// The compositor's refresh rate (Vista and later); 0 when there is none.
double CompositionRate() {
  HMODULE dwm = LoadLibraryA("dwmapi.dll");
  if (!dwm) return 0.0;
  double rate = 0.0;
  auto timing = reinterpret_cast<TimingInfoFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(dwm, "DwmGetCompositionTimingInfo")));
  DWM_TIMING_INFO info = {};
  info.cbSize = sizeof info;
  if (timing && SUCCEEDED(timing(nullptr, &info)) && info.rateRefresh.uiDenominator)
    rate = static_cast<double>(info.rateRefresh.uiNumerator) / info.rateRefresh.uiDenominator;
  FreeLibrary(dwm);
  return rate;
}

// Waits for one of the handles for at most timeoutMs, answering the messages
// that other threads send to this one meanwhile: a render thread that waits on
// such a message must not hold up the wait for itself. The index of the handle
// that was signalled, or WAIT_TIMEOUT / WAIT_FAILED.
DWORD WaitAnswering(DWORD count, const HANDLE* handles, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    const DWORD left = timeoutMs == INFINITE  ? INFINITE
                       : elapsed >= timeoutMs ? 0
                                              : timeoutMs - elapsed;
    const DWORD r = MsgWaitForMultipleObjects(count, handles, FALSE, left, QS_SENDMESSAGE);
    if (r < WAIT_OBJECT_0 + count) return r - WAIT_OBJECT_0;
    if (r != WAIT_OBJECT_0 + count) return r;  // timed out, or failed
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace

CAnimator::CAnimator() {
  _wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  _parked = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

// Nothing here ends a thread by force: a thread that never ran is let go
// before it touches the engine, one that runs is asked to stop and waited for.
// A window that could not stop its engine abandons it instead of deleting it.
CAnimator::~CAnimator() {
  if (_thread) {
    if (!_started) {
      _cancelStart = true;
      _started = true;
      _thread->ResumeThread();
    } else {
      RequestStop();
    }
    WaitForSingleObject(_thread->m_hThread, INFINITE);
    delete _thread;
    _thread = nullptr;
  }
  if (_wake) CloseHandle(_wake);
  if (_parked) CloseHandle(_parked);
}

bool CAnimator::AttachWindow(HWND hwnd) {
  if (!IsWindow(hwnd)) return false;
  _hwnd = hwnd;
  _thread = AfxBeginThread(ThreadProc, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED, nullptr);
  if (!_thread) return false;
  _thread->m_bAutoDelete = FALSE;  // still suspended: no race with the thread's end
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
    log_failure("glx::CAnimator::InitGL");
    DeleteRC();
    FreeDC();
    return false;
  }
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  // Black at once, while the scene is still being built: never a moment of
  // whatever lay on the screen before, or of an undefined buffer.
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (_doubleBuffer)
    SwapBuffers(_hdc);
  else
    glFlush();
  _drawn = true;
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
  int format = choose_pixel_format(_hdc, pfd);
  _pixelFlags = flags;
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

void CAnimator::Advance(double) {}
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
    log_failure("glx::CAnimator::Resize");
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
  if (_viewportsHanded) TakeViewports();
  if (_resize) Resize();
  if (_stop) return false;
  if (_running && _clockStopped) StartClock();
  if (_running && IsFrameDue()) {
    Advance(_clock.ticks(_frameTime));
    RenderFrame();
  }
  return true;
}

void CAnimator::RenderFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (_viewports.size() < 2) {
    if (!DrawView()) return;
  } else {
    for (const gl_viewport& v : _viewports) {
      glViewport(v.x, v.y, v.width, v.height);
      glMatrixMode(GL_PROJECTION);
      glLoadIdentity();
      try {
        SetProjection(v.aspect());
      } catch (...) {
        log_failure("glx::CAnimator::RenderFrame");
      }
      glMatrixMode(GL_MODELVIEW);
      if (!DrawView()) return;
    }
  }
  if (_doubleBuffer) SwapBuffers(_hdc);
}

bool CAnimator::DrawView() {
  int pushed = 0;
  try {
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
    log_failure("glx::CAnimator::DrawView");
    // Keep the matrix stack balanced, or a hook that keeps failing overflows it.
    if (pushed) glPopMatrix();
    return false;
  }
  return true;
}

bool CAnimator::IsFrameDue() {
  if (!IsWindow(_hwnd)) return false;
  const double now = Now();
  if (!_schedule.take(now, _pacing)) return false;
  _frameTime = now;
  return true;
}

double CAnimator::Now() const {
  static const double countsPerMs = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f.QuadPart / 1000.0;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart / countsPerMs;
}

void CAnimator::StartClock() {
  _clockStopped = false;
  try {
    _pacing = ChoosePacing();
  } catch (...) {
    _pacing = frame_pacing();
  }
  const double now = Now();
  _clock.restart(now);
  _schedule.restart(now);
}

frame_pacing CAnimator::ChoosePacing() {
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (!renderer || is_software_renderer(renderer)) return choose_pacing(true, false, 0.0);
  const double rate = RefreshRate();
  const SwapIntervalFn set = _doubleBuffer ? SwapIntervalFunction(_hdc) : nullptr;
  frame_pacing pacing = choose_pacing(false, set != nullptr, rate);
  if (!SetSwapInterval(set, pacing.swapInterval)) pacing = choose_pacing(false, false, rate);
  return pacing;
}

bool CAnimator::SetSwapInterval(BOOL(WINAPI* set)(int), int n) {
  if (n == _swapInterval) return true;
  if (!set || !set(n)) return false;
  _swapInterval = n;
  return true;
}

double CAnimator::RefreshRate() const {
  MONITORINFOEXA monitor = {};
  monitor.cbSize = sizeof monitor;
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  if (GetMonitorInfoA(MonitorFromWindow(_hwnd, MONITOR_DEFAULTTONEAREST), &monitor) &&
      EnumDisplaySettingsA(monitor.szDevice, ENUM_CURRENT_SETTINGS, &mode) &&
      mode.dmDisplayFrequency > 1)
    return mode.dmDisplayFrequency;
  // 0 or 1 is "the hardware's default": the compositor may know better.
  return CompositionRate();
}

void CAnimator::WaitForNextStep() {
  DWORD timeout = INFINITE;  // not animating, or the window is gone: wait for a wake-up
  if (_running && IsWindow(_hwnd))
    timeout = _clockStopped ? 0 : static_cast<DWORD>(std::ceil(_schedule.wait(Now())));
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

void CAnimator::SetViewports(std::vector<gl_viewport> viewports) {
  _handedViewports = viewports;
  _viewportLock.Lock();
  _pendingViewports = std::move(viewports);
  _viewportsHanded = true;
  _viewportLock.Unlock();
  SetEvent(_wake);
}

void CAnimator::TakeViewports() {
  _viewportLock.Lock();
  _viewports.swap(_pendingViewports);
  _viewportsHanded = false;
  _viewportLock.Unlock();
}

// Pauses are not counted: a second Suspend before a Resume does nothing, so
// one Resume always lets the thread run again.
bool CAnimator::Suspend() {
  if (!_thread || !_started || _pause) return false;
  const unsigned request = ++_pauseRequest;
  _pause = true;
  SetEvent(_wake);
  // A thread still setting up checks for a pause before its first frame.
  if (!_inLoop) return true;
  HANDLE handles[2] = {_parked, _thread->m_hThread};
  const DWORD start = GetTickCount();
  while (_pauseConfirmed != request) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= kPauseWaitMs) break;  // a hung driver call must not hang the window too
    if (WaitAnswering(2, handles, kPauseWaitMs - elapsed) != 0) break;  // ended, or failed
  }
  return true;
}

void CAnimator::Resume() {
  if (!_thread) return;
  if (!_started) {
    _started = true;
    _preparing = true;        // input waits for the set-up from now on
    _thread->ResumeThread();  // created suspended: it has not run any code yet
  }
  if (_pause) {
    _pause = false;
    SetEvent(_wake);
  }
}

void CAnimator::RequestStop() {
  _lock.Lock();
  _stop = true;
  _lock.Unlock();
  SetEvent(_wake);  // ends a pause or a wait between frames
}

bool CAnimator::Stop(DWORD timeoutMs) {
  if (!_thread) return true;
  if (!_started) {
    // Never resumed: let it end before it touches anything.
    _cancelStart = true;
    _started = true;
    _thread->ResumeThread();
  }
  RequestStop();
  return WaitAnswering(1, &_thread->m_hThread, timeoutMs) == 0;
}

void CAnimator::Abandon() {
  if (_thread) {
    _lock.Lock();
    if (!_finished) {
      // The thread still uses the engine: it deletes it, and its thread
      // object, when it ends.
      _abandoned = true;
      ++_abandonedThreads;
      _thread->m_bAutoDelete = TRUE;
      _thread = nullptr;
      _lock.Unlock();
      return;
    }
    _lock.Unlock();
  }
  delete this;  // the destructor waits for the last steps of an ending thread
}

void CAnimator::ParkWhilePaused() {
  while (_pause && !_stop) {
    _clockStopped = true;  // the time spent here does not move the scene
    _pauseConfirmed = _pauseRequest.load();
    SetEvent(_parked);
    WaitForSingleObject(_wake, INFINITE);
  }
}

void CAnimator::EndPreparing() {
  if (_announcedReady) return;
  _announcedReady = true;
  _preparing = false;
  PostMessageA(_hwnd, WM_ANIMATORREADY, 0, 0);
}

bool CAnimator::Finish() {
  _lock.Lock();
  _finished = true;
  const bool abandoned = _abandoned;
  _lock.Unlock();
  return abandoned;
}

UINT CAnimator::ThreadProc(LPVOID param) {
  auto* self = static_cast<CAnimator*>(param);
  if (self->_cancelStart) {
    if (self->Finish()) {
      delete self;
      --_abandonedThreads;
    }
    return 0;
  }
  timeBeginPeriod(1);
  PostMessageA(self->_hwnd, WM_ANIMATORPREPARING, 0, 0);
  bool initialised = true;
  UINT code = 0;
  try {
    // A stop that came before the thread first ran ends it before its set-up.
    initialised = !self->_stop && self->ThreadInit();
    self->EndPreparing();
    if (initialised) {
      self->_inLoop = true;
      // The frame boundary is the only place where the thread pauses or stops.
      for (;;) {
        self->ParkWhilePaused();
        if (!self->Step()) break;
        self->WaitForNextStep();
      }
    } else {
      // No ThreadExit here, but a context or device context that a scene's
      // failed set-up left behind is still released.
      self->DeleteRC();
      self->FreeDC();
    }
  } catch (...) {
    // The top of the render thread: what escaped the set-up or a step ends the loop.
    log_failure("glx::CAnimator::ThreadProc");
  }
  self->EndPreparing();
  self->_inLoop = false;
  if (initialised) {
    try {
      code = self->ThreadExit() ? 1 : 0;
    } catch (...) {
      log_failure("glx::CAnimator::ThreadExit");
    }
  }
  timeEndPeriod(1);
  if (self->Finish()) {
    delete self;
    --_abandonedThreads;  // the last thing this thread does with the program's state
  }
  return code;
}

}  // namespace glx
