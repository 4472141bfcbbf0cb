#include "glx/opengl_wnd.h"

#include <cstring>
#include <exception>
#include <new>

#include "glx/report_failure.h"

namespace glx {

IMPLEMENT_DYNCREATE(COpenGLWnd, CWnd)

namespace {
constexpr UINT_PTR kWaitDialogTimer = 0x5641;  // the delay before the wait dialog shows

// The displays' power state (Windows 8 and later) and the monitors' (Vista,
// 7): 0 off, 1 on, 2 dimmed. Either may come; both say the same.
const GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
const GUID kMonitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
const GUID* const kDisplayPowerSettings[2] = {&kConsoleDisplayState, &kMonitorPowerOn};
constexpr WPARAM kPowerSettingChange = 0x8013;  // PBT_POWERSETTINGCHANGE

struct PowerSetting {  // POWERBROADCAST_SETTING
  GUID setting;
  DWORD length;
  UCHAR data[1];
};

// Vista and later; earlier systems tell nothing about their monitors.
using RegisterPowerFn = HANDLE(WINAPI*)(HANDLE, const GUID*, DWORD);
using UnregisterPowerFn = BOOL(WINAPI*)(HANDLE);

template <class Fn>
Fn UserFunction(const char* name) {
  HMODULE user = GetModuleHandleA("user32.dll");
  return reinterpret_cast<Fn>(
      reinterpret_cast<void (*)()>(user ? GetProcAddress(user, name) : nullptr));
}

}  // namespace

const char* COpenGLWnd::_className = nullptr;

COpenGLWnd::InUse::~InUse() {
  if (--_wnd->_inUse == 0 && _wnd->_deleteWhenUnused) delete _wnd;
}

bool COpenGLWnd::CanClose() { return true; }

// FALSE also when the window was destroyed while it was being made; the
// object is gone then, unless the caller holds it (InUse).
BOOL COpenGLWnd::Create(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent) {
  RECT r = rect;
  InUse use(this);
  try {
    if (!_className)
      _className = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, nullptr, nullptr, nullptr);
    if (!CreateEx(exStyle, _className, "ZOV Verivir", style, r.left, r.top, r.right - r.left,
                  r.bottom - r.top, parent ? parent->m_hWnd : nullptr, nullptr, nullptr))
      return FALSE;
    return !_destroyed && _animator && _animator->AttachWindow(m_hWnd) ? TRUE : FALSE;
  } catch (...) {
    report_failure("COpenGLWnd::Create", 4);
    return FALSE;
  }
}

BOOL COpenGLWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  cs.style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  return CWnd::PreCreateWindow(cs);
}

void COpenGLWnd::PostNcDestroy() {
  if (_inUse > 0)
    _deleteWhenUnused = true;
  else
    delete this;
}

LRESULT COpenGLWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  InUse use(this);
  switch (msg) {
    case WM_REQUESTCLOSE:
      return OnCloseRequest();
    case WM_ANIMATORPREPARING:
      // A quick set-up shows no dialog at all: it would only flash.
      if (_waitDialogFactory) ::SetTimer(m_hWnd, kWaitDialogTimer, kWaitDialogDelayMs, nullptr);
      return 0;
    case WM_ANIMATORREADY:
      EndWaitDialog();
      OnAnimatorReady();
      return 0;
    case WM_POWERBROADCAST:
      if (wParam == kPowerSettingChange && lParam) {
        const auto* p = reinterpret_cast<const PowerSetting*>(lParam);
        for (const GUID* watched : kDisplayPowerSettings) {
          if (!IsEqualGUID(p->setting, *watched) || p->length < sizeof(DWORD)) continue;
          DWORD state;
          memcpy(&state, p->data, sizeof state);
          OnDisplayPower(state != 0);  // a dimmed display still shows the picture
          return TRUE;
        }
      }
      return CWnd::WindowProc(msg, wParam, lParam);
    default:
      return CWnd::WindowProc(msg, wParam, lParam);
  }
}

void COpenGLWnd::OnTimer(UINT_PTR id) {
  if (id != kWaitDialogTimer) {
    CWnd::OnTimer(id);
    return;
  }
  ::KillTimer(m_hWnd, kWaitDialogTimer);
  if (_animator && _animator->_preparing && !_waitDialog && _waitDialogFactory) {
    try {
      _waitDialog = _waitDialogFactory();
    } catch (...) {
      // Without the dialog the set-up goes on all the same.
      log_failure("COpenGLWnd::OnTimer");
    }
  }
}

void COpenGLWnd::EndWaitDialog() {
  ::KillTimer(m_hWnd, kWaitDialogTimer);
  _waitDialog.reset();  // destroys its window
}

void COpenGLWnd::OnAnimatorReady() {}

int COpenGLWnd::OnCreate(LPCREATESTRUCTA cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  if (auto registerPower = UserFunction<RegisterPowerFn>("RegisterPowerSettingNotification")) {
    for (int i = 0; i < 2; ++i)
      _powerNotes[i] = registerPower(m_hWnd, kDisplayPowerSettings[i], DEVICE_NOTIFY_WINDOW_HANDLE);
  }
  try {
    _animator = MakeAnimator();
    return _animator ? 0 : -1;
  } catch (const std::exception& e) {
    UnhookAnimator();
    report_failure("COpenGLWnd::OnCreate", 2, e.what());
    return -1;
  } catch (...) {
    UnhookAnimator();
    report_failure("COpenGLWnd::OnCreate", 4);
    return -1;
  }
}

// Null when nothing can be made; running out of memory counts as nothing, as
// it does for a run-time class.
CAnimator* COpenGLWnd::MakeAnimator() {
  if (_animatorFactory) {
    try {
      return _animatorFactory();
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
  }
  CObject* object = _animatorClass ? _animatorClass->CreateObject() : nullptr;
  auto* animator = dynamic_cast<CAnimator*>(object);
  if (!animator) delete object;
  return animator;
}

void COpenGLWnd::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  // A minimised window reports zero; the engine's aspect needs both positive.
  if (cx > 0 && cy > 0 && _animator) _animator->SetSize(cx, cy);
}

void COpenGLWnd::OnPaint() {
  RECT r;
  if (!GetUpdateRect(m_hWnd, &r, FALSE)) return;
  PAINTSTRUCT ps;
  BeginPaint(m_hWnd, &ps);  // validates only: the render thread draws
  EndPaint(m_hWnd, &ps);
  Default();
}

// Black until the render thread has put its own black there: a window that
// shows before its set-up ends never shows what lay beneath it. After that
// only the render thread paints.
BOOL COpenGLWnd::OnEraseBkgnd(HDC dc) {
  if (_animator && _animator->HasDrawn()) return TRUE;
  RECT r;
  ::GetClientRect(m_hWnd, &r);
  ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  return TRUE;
}

void COpenGLWnd::OnClose() { RequestClose(); }

LRESULT COpenGLWnd::OnCloseRequest() { return RequestClose() ? 0 : -1; }

void COpenGLWnd::OnDestroy() {
  _destroyed = true;
  if (auto unregisterPower =
          UserFunction<UnregisterPowerFn>("UnregisterPowerSettingNotification")) {
    for (HANDLE& note : _powerNotes) {
      if (note) unregisterPower(note);
      note = nullptr;
    }
  }
  EndWaitDialog();
  UnhookAnimator();
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  ShowCursor(TRUE);
  CWnd::OnDestroy();
}

// The render thread starts before the window shows: its set-up runs while
// the window is being shown (and paints itself black).
bool COpenGLWnd::ShowAndAnimate() {
  InUse use(this);
  if (_animator && !_destroyed) {
    _animator->StartAnimation();
    _animator->Resume();
    if (_displayOff) _animator->Suspend();  // it sets up, then waits for the monitors
  }
  ShowWindow(SW_SHOW);
  return !_destroyed && _animator;
}

void COpenGLWnd::OnDisplayPower(bool on) {
  if (_displayOff == !on) return;
  _displayOff = !on;
  if (!_animator) return;
  if (_displayOff)
    _animator->Suspend();
  else
    ResumeIfFree();
}

void COpenGLWnd::ResumeIfFree() {
  if (_animator && !_asking && !_displayOff && _animator->Paused()) _animator->Resume();
}

void COpenGLWnd::SuspendAnimator() {
  if (_animator) _animator->Suspend();
}

void COpenGLWnd::ResumeAnimator() {
  if (_animator) _animator->Resume();
}

bool COpenGLWnd::RequestClose() {
  if (DoClose() == -1) return false;
  PostQuitMessage(0);
  return true;
}

// Every request asks once: one that comes while the user is being asked
// (through the prompt's own message loop) is refused without a second prompt.
// The picture holds still while the user is asked and goes on when refused.
int COpenGLWnd::DoClose() {
  if (_asking) return -1;
  InUse use(this);
  _asking = true;
  try {
    if (_animator) _animator->Suspend();
    const bool allowed = CanClose();
    _asking = false;
    if (!allowed) {
      ResumeIfFree();
      return -1;
    }
    UnhookAnimator();
    return 0;
  } catch (...) {
    _asking = false;
    report_failure("COpenGLWnd::DoClose", 5);
    return 0;
  }
}

// The engine's Stop also ends a paused thread and one that never ran (without
// its set-up), so nothing is resumed here.
void COpenGLWnd::UnhookAnimator() {
  CAnimator* animator = _animator;
  if (!animator) return;
  // Cleared first: a message answered during the wait must not unhook it twice.
  _animator = nullptr;
  try {
    // A thread still busy after the wait (a hung driver) is not killed: it
    // gets the engine and deletes it when it reaches its stop.
    if (animator->Stop(5000))
      delete animator;
    else
      animator->Abandon();
  } catch (...) {
    _animator = animator;
    report_failure("COpenGLWnd::UnhookAnimator", 3);
  }
}

}  // namespace glx
