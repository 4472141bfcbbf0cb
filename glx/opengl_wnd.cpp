#include "glx/opengl_wnd.h"

#include "glx/report_failure.h"

namespace glx {

IMPLEMENT_DYNCREATE(COpenGLWnd, CWnd)

const char* COpenGLWnd::s_className = nullptr;

bool COpenGLWnd::CanClose() { return true; }

BOOL COpenGLWnd::Create(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent) {
  RECT r = rect;
  try {
    if (!s_className)
      s_className = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, nullptr, nullptr, nullptr);
    if (!CreateEx(exStyle, s_className, "ZOV Verivir", style, r.left, r.top, r.right - r.left,
                  r.bottom - r.top, parent ? parent->m_hWnd : nullptr, nullptr, nullptr))
      return FALSE;
    return _animator && _animator->AttachWindow(m_hWnd) ? TRUE : FALSE;
  } catch (...) {
    report_failure("COpenGLWnd::Create", 4);
    return FALSE;
  }
}

BOOL COpenGLWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  cs.style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  return CWnd::PreCreateWindow(cs);
}

void COpenGLWnd::PostNcDestroy() { delete this; }

LRESULT COpenGLWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_REQUESTCLOSE) return OnCloseRequest();
  return CWnd::WindowProc(msg, wParam, lParam);
}

int COpenGLWnd::OnCreate(LPCREATESTRUCTA cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  try {
    CObject* object = _animatorClass ? _animatorClass->CreateObject() : nullptr;
    auto* animator = dynamic_cast<CAnimator*>(object);
    if (!animator) {
      delete object;
      return -1;
    }
    _animator = animator;
    return 0;
  } catch (const CAnimator::error& e) {
    UnhookAnimator();
    report_failure("COpenGLWnd::OnCreate", 2, e.text);
    return -1;
  } catch (...) {
    UnhookAnimator();
    report_failure("COpenGLWnd::OnCreate", 4);
    return -1;
  }
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

// A refused close leaves the thread paused. Repeated refusals cannot stack
// pauses: the engine's Suspend does nothing when already paused, so the single
// Resume in UnhookAnimator always lets the thread see the stop request.
void COpenGLWnd::OnClose() {
  SuspendAnimator();
  RequestClose();
}

LRESULT COpenGLWnd::OnCloseRequest() { return RequestClose() ? 0 : -1; }

void COpenGLWnd::OnDestroy() {
  UnhookAnimator();
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  ShowCursor(TRUE);
  CWnd::OnDestroy();
}

void COpenGLWnd::ShowAndAnimate() {
  ShowWindow(SW_SHOW);
  _animator->StartAnimation();
  _animator->Resume();
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

int COpenGLWnd::DoClose() {
  try {
    if (!CanClose()) return -1;
    UnhookAnimator();
    return 0;
  } catch (...) {
    report_failure("COpenGLWnd::DoClose", 5);
    return 0;
  }
}

void COpenGLWnd::UnhookAnimator() {
  if (!_animator) return;
  try {
    // A thread that never ran, or that OnClose paused, must run to see the stop.
    ResumeAnimator();
    // A thread still busy after the wait (a long set-up, a hung driver) is not
    // killed: it gets the engine and deletes it when it reaches its stop.
    if (_animator->Stop(5000))
      delete _animator;
    else
      _animator->Abandon();
    _animator = nullptr;
  } catch (...) {
    report_failure("COpenGLWnd::UnhookAnimator", 3);
  }
}

}  // namespace glx
