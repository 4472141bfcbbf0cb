#include "saver/saver_app.h"

#include "framework/message_box.h"
#include "framework/wnd.h"
#include "glx/opengl_wnd.h"
#include "saver/command_line.h"
#include "saver/password_mgr.h"
#include "saver/resource.h"
#include "saver/saver_wnd.h"
#include "scene/wait_dlg.h"
#include "scene/zazozeru.h"
#include "settings/settings_sheet.h"

namespace {

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

// The scene of a window, made with its own copy of the settings, and the
// wait dialog the window shows while a slow set-up runs.
void UseScene(glx::COpenGLWnd* wnd, const SceneSettings& settings) {
  wnd->_animatorClass = RUNTIME_CLASS(ZAzozeru);
  wnd->_animatorFactory = [settings] { return new ZAzozeru(settings); };
  wnd->_waitDialogFactory = CreateWaitDialog;
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
    case CSaverCommandLine::Mode::Run:
      return RunSaver();
    case CSaverCommandLine::Mode::Preview:
      return RunPreview(window);
    case CSaverCommandLine::Mode::ChangePassword:
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
  UseScene(wnd, settings);
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
  if (GetProfileFlag(SettingsLayout().c_str(), "MutePreview", false)) return false;

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
  UseScene(wnd, settings);
  bool created = false, gone = false;
  {
    // The parent may close at any moment, even while the preview is being
    // made: held, the object can still be asked whether that happened.
    glx::COpenGLWnd::InUse hold(wnd);
    created = wnd->Create(WS_EX_TOOLWINDOW, WS_CHILD | WS_VISIBLE, client, &parentWnd) != FALSE;
    gone = wnd->Destroyed();
    if (created && !gone) {
      m_pMainWnd = wnd;
      // A parent that closes during this ends the preview and its message loop.
      wnd->ShowAndAnimate();
    }
  }
  parentWnd.m_hWnd = nullptr;
  if (gone) return false;  // the parent took it along: nothing to report
  if (!created) {
    ReportCannotCreate();
    DestroyLeftover(parent);
    return false;
  }
  return true;
}

bool CSaverApp::RunChangePassword(HWND owner) {
  PasswordMgr::instance()->ChangePassword(owner);
  return true;
}

void CSaverApp::ShowSettings() {
  // On OK the sheet has written its values into the settings.
  CSettingsSheet sheet(settings);
  if (sheet.DoModal() == IDOK) SaveSettings();
}

// A quit that another program posts must not open the lock.
bool CSaverApp::QuitAllowed() {
  auto* saver = dynamic_cast<CSaverWnd*>(m_pMainWnd);
  return !(saver && saver->IsLocked());
}

int CSaverApp::ExitInstance() {
  if (m_pMainWnd) {
    m_pMainWnd->SendMessage(WM_REQUESTCLOSE, 0, 0);
    m_pMainWnd->DestroyWindow();  // OpenGL windows delete themselves
    m_pMainWnd = nullptr;
  }
  SaveSettings();
  const int code = CWinApp::ExitInstance();
  if (glx::CAnimator::AbandonedThreads() > 0) {
    // A render thread that could not be stopped still uses the engine, and
    // through it the program's state: the process ends here, settings saved,
    // without its static destructors tearing that state down under it.
    if (PasswordMgr* passwords = PasswordMgr::instance()) passwords->Release();
    ExitProcess(static_cast<UINT>(code));
  }
  return code;
}

CSaverApp* SaverApp() { return static_cast<CSaverApp*>(AfxGetApp()); }
