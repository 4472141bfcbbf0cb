#include "saver/saver_app.h"

#include <cstring>

#include "framework/message_box.h"
#include "framework/wnd.h"
#include "glx/opengl_wnd.h"
#include "saver/command_line.h"
#include "saver/password_mgr.h"
#include "saver/resource.h"
#include "saver/saver_wnd.h"
#include "saver/settings_seam.h"
#include "scene/zazozeru.h"
#include "xtl/registry.h"

namespace {

const char kPreviewKey[] = "Software\\Morvel Software Development\\Screen Savers\\Verivir\\1.1";

// A window that failed half-way (the animator would not attach) still exists:
// find it among this thread's windows of the OpenGL class and destroy it.
void DestroyLeftover(HWND parent) {
  const char* cls = glx::COpenGLWnd::ClassName();
  if (!cls) return;
  HWND found = nullptr;
  while ((found = FindWindowExA(parent, found, cls, "ZOV Verivir")) != nullptr) {
    if (GetWindowThreadProcessId(found, nullptr) == GetCurrentThreadId()) {
      DestroyWindow(found);
      return;
    }
  }
}

}  // namespace

CSaverApp::CSaverApp() = default;

CSaverApp::~CSaverApp() {
  CWnd* main = m_pMainWnd;
  m_pMainWnd = nullptr;
  if (main && main != _proxy) {
    // OpenGL windows delete themselves once their window is gone.
    if (main->IsWindow())
      main->DestroyWindow();
    else
      delete main;
  }
  SetProxy(nullptr, false);
}

void CSaverApp::SetProxy(CWnd* proxy, bool owned) {
  if (_ownsProxy && _proxy != proxy) delete _proxy;
  _proxy = proxy;
  _ownsProxy = owned;
}

BOOL CSaverApp::InitInstance() {
  const CSaverCommandLine commandLine(m_lpCmdLine);
  SetRegistryKey(IDS_REGISTRY_KEY);

  // A hidden child of the desktop, the main window until the saver window exists.
  auto* proxy = new CWnd;
  proxy->CreateEx(0, nullptr, "ZovSpheresProxy", WS_OVERLAPPEDWINDOW | WS_CHILD, 0, 0, 0, 0,
                  GetDesktopWindow(), nullptr);
  proxy->UpdateWindow();
  SetProxy(proxy, true);

  if (SettingsExist()) {
    LoadSettings();
  } else if (!MigrateSettings()) {
    LoadSettings();  // yields the defaults
  }

  const HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(commandLine.window));
  switch (commandLine.mode) {
    case CSaverCommandLine::Mode::run:
      return RunSaver();
    case CSaverCommandLine::Mode::preview:
      return RunPreview(window);
    case CSaverCommandLine::Mode::changePassword:
      return RunChangePassword(window);
    default:
      ShowSettings();
      return TRUE;
  }
}

void CSaverApp::ReportCannotCreate() {
  // A saver window destroyed half-way has posted the quit message, which would
  // close the box as soon as it opens. Nothing waits for that quit: the run ends.
  MSG quit;
  while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  AfxMessageBox(IDS_CANNOT_CREATE, MB_OK | MB_ICONEXCLAMATION);
}

bool CSaverApp::RunSaver() {
  m_pMainWnd = _proxy;
  auto* wnd = new CSaverWnd;
  wnd->_animatorClass = RUNTIME_CLASS(ZAzozeru);
  if (!wnd->CreateFullScreen(nullptr)) {
    ReportCannotCreate();
    DestroyLeftover(nullptr);
    return false;
  }
  m_pMainWnd = wnd;
  PasswordMgr::instance()->Prepare();
  wnd->ShowAndAnimate();
  return true;
}

bool CSaverApp::RunPreview(HWND parent) {
  bool muted = false;
  xtl::registry::registry_key key(kPreviewKey);
  key.add("MutePreview", muted);
  xtl::registry::current_user root;
  unsigned char stored = 0;  // the byte as stored: any non-zero value mutes
  const bool loaded = key.load(root) == xtl::registry::success;
  std::memcpy(&stored, &muted, 1);
  if (loaded && stored != 0) return false;

  // A handle that names no window (0 from "/p" or "/p:1234") fails like a failed creation.
  if (!parent || !::IsWindow(parent)) {
    ReportCannotCreate();
    return false;
  }
  CWnd parentWnd;  // borrowed handle, never attached
  parentWnd.m_hWnd = parent;
  RECT client;
  ::GetClientRect(parent, &client);
  auto* wnd = new glx::COpenGLWnd;
  wnd->_animatorClass = RUNTIME_CLASS(ZAzozeru);
  const BOOL created = wnd->Create(WS_EX_TOOLWINDOW, WS_CHILD | WS_VISIBLE, client, &parentWnd);
  parentWnd.m_hWnd = nullptr;
  if (!created) {
    ReportCannotCreate();
    DestroyLeftover(parent);
    return false;
  }
  m_pMainWnd = wnd;
  wnd->ShowAndAnimate();
  return true;
}

bool CSaverApp::RunChangePassword(HWND owner) {
  PasswordMgr::instance()->ChangePassword(owner);
  return true;
}

void CSaverApp::ShowSettings() {
  if (RunSettingsSheet() == IDOK) SaveSettings();
}

int CSaverApp::ExitInstance() {
  if (m_pMainWnd) {
    m_pMainWnd->SendMessage(WM_REQUESTCLOSE, 0, 0);
    m_pMainWnd->DestroyWindow();  // OpenGL windows delete themselves
    m_pMainWnd = nullptr;
  }
  SaveSettings();
  return CWinApp::ExitInstance();
}

CSaverApp* SaverApp() { return static_cast<CSaverApp*>(AfxGetApp()); }
