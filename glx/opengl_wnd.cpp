#include "glx/opengl_wnd.h"

#include <exception>
#include <new>

#include "glx/report_failure.h"

namespace glx {

IMPLEMENT_DYNCREATE(COpenGLWnd, CWnd)

namespace {
constexpr UINT_PTR kWaitDialogTimer = 0x5641;  // the delay before the wait dialog shows
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

BOOL COpenGLWnd::OnEraseBkgnd(HDC) { return TRUE; }

void COpenGLWnd::OnClose() { RequestClose(); }

LRESULT COpenGLWnd::OnCloseRequest() { return RequestClose() ? 0 : -1; }

void COpenGLWnd::OnDestroy() {
  _destroyed = true;
  EndWaitDialog();
  UnhookAnimator();
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  ShowCursor(TRUE);
  CWnd::OnDestroy();
}

bool COpenGLWnd::ShowAndAnimate() {
  InUse use(this);
  ShowWindow(SW_SHOW);
  if (_destroyed || !_animator) return false;
  _animator->StartAnimation();
  _animator->Resume();
  return true;
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
    const bool paused = _animator && _animator->Suspend();
    const bool allowed = CanClose();
    _asking = false;
    if (!allowed) {
      if (paused && _animator) _animator->Resume();
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
