#include "saver/saver_wnd.h"

#include <cstdlib>

#include "framework/app.h"
#include "framework/message_box.h"
#include "saver/password_mgr.h"
#include "saver/screen_layout.h"
#include "scene/zazozeru.h"

IMPLEMENT_DYNCREATE(CSaverWnd, glx::COpenGLWnd)

namespace {

const int kMouseSlack = 5;  // pixels the mouse may drift without closing

// Posted to itself once the scene is ready: handled after what the wait
// dialog's end left in the queue (the system's own focus changes among it).
const UINT kTakeKeys = WM_APP + 16;

// Sent to windows of programs aware of each monitor's scaling when the
// scaling under them changes (newer than the headers this builds against).
const UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED

struct View {
  UINT key;
  float angle, x, y, z;
};

const View kViews[] = {{'B', 180.0f, 0, 1, 0}, {'D', -90.0f, 1, 0, 0}, {'F', 0.0f, 0, 0, 0},
                       {'L', 90.0f, 0, 1, 0},  {'R', -90.0f, 0, 1, 0}, {'T', 90.0f, 1, 0, 0}};

}  // namespace

// A desktop left visible on another monitor could be read and used while a
// password-protected saver runs: the window covers every monitor.
BOOL CSaverWnd::CreateFullScreen(CWnd* parent) {
  if (!_layoutReader) _layoutReader = ScreenLayout;
  const glx::monitor_layout layout = _layoutReader();
  const glx::screen_rect& w = layout.window;
  RECT screen = {w.left, w.top, w.right, w.bottom};
  if (!Create(WS_EX_TOPMOST, WS_POPUP, screen, parent)) return FALSE;
  if (_animator) _animator->SetViewports(layout.viewports);
  return TRUE;
}

// A docked laptop, a projector plugged in, a new resolution or scaling: a
// monitor the window no longer covers would show the desktop.
void CSaverWnd::FollowMonitors() {
  if (!_layoutReader) return;
  const glx::monitor_layout layout = _layoutReader();
  if (layout.window.empty()) return;
  RECT now = {};
  ::GetWindowRect(m_hWnd, &now);
  const glx::screen_rect& w = layout.window;
  const bool move = !(glx::screen_rect{now.left, now.top, now.right, now.bottom} == w);
  if (!move && (!_animator || _animator->Viewports() == layout.viewports)) return;
  const bool paused = _animator && _animator->Suspend();
  if (move)
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, w.left, w.top, w.width(), w.height(),
                   SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  if (_animator) _animator->SetViewports(layout.viewports);
  if (paused && _animator) _animator->Resume();
}

// The machine is going down anyway: no password holds the session's end up.
void CSaverWnd::OnSessionEnd() {
  if (PasswordMgr* passwords = PasswordMgr::instance()) passwords->Release();
  _closing = true;
  RequestClose();
}

ZAzozeru* CSaverWnd::Scene() const {
  // Always a ZAzozeru in the program; other animators (tests) have no view.
  return _animator && _animator->IsKindOf(RUNTIME_CLASS(ZAzozeru))
             ? static_cast<ZAzozeru*>(_animator)
             : nullptr;
}

bool CSaverWnd::IsSceneBusy() const { return _animator && _animator->_preparing; }

bool CSaverWnd::IsLocked() const {
  PasswordMgr* passwords = PasswordMgr::instance();
  return passwords && passwords->IsRequired();
}

bool CSaverWnd::CanClose() {
  PasswordMgr* passwords = PasswordMgr::instance();
  if (!passwords) return true;
  CWinApp* app = AfxGetApp();
  if (!app || !app->m_pMainWnd) return true;
  if (!passwords->Verify(app->m_pMainWnd->m_hWnd)) {
    _closing = false;  // input may try again
    return false;
  }
  passwords->Release();
  return true;
}

void CSaverWnd::Close() {
  _closing = true;
  RequestClose();
}

LRESULT CSaverWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  InUse use(this);
  switch (msg) {
    case WM_DISPLAYCHANGE:
    case kDpiChanged:
      FollowMonitors();
      return 0;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETWORKAREA) FollowMonitors();
      break;
    case WM_ENDSESSION:
      if (wParam) OnSessionEnd();
      return 0;
    case kTakeKeys:
      ::SetForegroundWindow(m_hWnd);
      ::SetFocus(m_hWnd);
      ::SetPropA(m_hWnd, ReadyProperty(), reinterpret_cast<HANDLE>(1));
      return 0;
    default:
      break;
  }
  return glx::COpenGLWnd::WindowProc(msg, wParam, lParam);
}

// The wait dialog may have taken the foreground and is gone: keys go to the
// foreground window, so this window takes it back before it says it is ready.
void CSaverWnd::OnAnimatorReady() { PostMessage(kTakeKeys); }

int CSaverWnd::OnCreate(LPCREATESTRUCTA cs) {
  if (glx::COpenGLWnd::OnCreate(cs) == -1) {
    AfxMessageBox("Cannot allocate the required resources. Close other applications and retry.");
    return -1;
  }
  return 0;
}

BOOL CSaverWnd::OnSetCursor(HWND, UINT, UINT) {
  SetCursor(nullptr);
  return TRUE;
}

void CSaverWnd::OnMouseMove(UINT, POINT pt) {
  if (_closing || IsSceneBusy()) return;
  if (_mousePos.x == -1 && _mousePos.y == -1) {
    _mousePos = {pt.x, pt.y};
  } else if (std::abs(_mousePos.x - pt.x) > kMouseSlack ||
             std::abs(_mousePos.y - pt.y) > kMouseSlack) {
    Close();
    _mousePos = {-1, -1};
  }
  Default();
}

void CSaverWnd::OnLButtonDown(UINT, POINT) {
  if (IsSceneBusy()) return;
  Close();
  Default();
}

void CSaverWnd::OnMButtonDown(UINT, POINT) {
  if (IsSceneBusy() || _closing) return;
  Close();
  Default();
}

void CSaverWnd::OnRButtonDown(UINT, POINT) {
  if (IsSceneBusy() || _closing) return;
  Close();
  Default();
}

bool CSaverWnd::TurnView(UINT key) {
  ZAzozeru* scene = Scene();
  for (const View& view : kViews) {
    if (view.key != key) continue;
    // Handed over whole; the render thread applies it from its next frame.
    if (scene) scene->SetView({view.angle, view.x, view.y, view.z});
    return true;
  }
  return false;
}

void CSaverWnd::OnKeyDown(UINT key, UINT, UINT) {
  if (_closing || IsSceneBusy()) return;
  if (!TurnView(key)) Close();
}

void CSaverWnd::OnKeyUp(UINT, UINT, UINT) {}

void CSaverWnd::OnSysKeyDown(UINT, UINT, UINT) {
  if (_closing || IsSceneBusy()) return;
  Close();
  Default();
}

void CSaverWnd::OnSysCommand(UINT id, LPARAM) {
  if (_closing) return;
  if (id != SC_SCREENSAVE && id != SC_CLOSE) {
    Default();
    return;
  }
  // Not passed on: the default would start a screen saver again, or ask for
  // the password a second time through WM_CLOSE.
  _closing = true;
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd) app->m_pMainWnd->SendMessage(WM_REQUESTCLOSE, 0, 0);
}

void CSaverWnd::OnDestroy() {
  ::RemovePropA(m_hWnd, ReadyProperty());
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  ShowCursor(TRUE);
  PostQuitMessage(0);
  glx::COpenGLWnd::OnDestroy();
}
