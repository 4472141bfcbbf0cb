#include "framework/wnd.h"

#include "framework/app.h"

#include <windowsx.h>
#undef SubclassWindow  // windowsx.h macro, clashes with the member

#include <map>
#include <mutex>
#include <string>

IMPLEMENT_DYNCREATE(CWnd, CObject)

namespace {

const char kWndProp[] = "VerivirFrameworkWnd";

// The message being handled on this thread, for Default().
thread_local MSG t_currentMsg = {};
thread_local CWnd* t_wndInit = nullptr;
thread_local HHOOK t_cbtHook = nullptr;

}  // namespace

// Attaches the window being created to the waiting object before the window
// gets its first message, so that WM_NCCREATE and WM_CREATE reach the handlers.
LRESULT CALLBACK AfxCbtHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && t_wndInit) {
    CWnd* wnd = t_wndInit;
    t_wndInit = nullptr;
    wnd->Attach(reinterpret_cast<HWND>(wParam));
  }
  return CallNextHookEx(t_cbtHook, code, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* wnd) {
  if (!t_cbtHook) t_cbtHook = SetWindowsHookExA(WH_CBT, AfxCbtHook, nullptr, GetCurrentThreadId());
  t_wndInit = wnd;
}

void AfxUnhookWindowCreate() {
  t_wndInit = nullptr;
  if (t_cbtHook) {
    UnhookWindowsHookEx(t_cbtHook);
    t_cbtHook = nullptr;
  }
}

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
  if (!wnd) return DefWindowProcA(hwnd, msg, wParam, lParam);
  MSG saved = t_currentMsg;
  t_currentMsg = {hwnd, msg, wParam, lParam, 0, {0, 0}};
  LRESULT result;
  if (msg == WM_NCDESTROY) {
    result = wnd->WindowProc(msg, wParam, lParam);
    wnd->Detach();
    t_currentMsg = saved;
    // As in MFC: the main window going away ends the application's message loop.
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == wnd) {
      app->m_pMainWnd = nullptr;
      PostQuitMessage(0);
    }
    wnd->PostNcDestroy();  // may delete the object
    return result;
  }
  result = wnd->WindowProc(msg, wParam, lParam);
  t_currentMsg = saved;
  return result;
}

const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
  static std::mutex lock;
  static std::map<std::string, std::string> names;  // stable storage for returned names
  char name[96];
  wsprintfA(name, "Afx:%p:%x:%p:%p:%p", static_cast<void*>(GetModuleHandleA(nullptr)), classStyle,
            static_cast<void*>(cursor), static_cast<void*>(background), static_cast<void*>(icon));
  std::lock_guard<std::mutex> guard(lock);
  auto it = names.find(name);
  if (it != names.end()) return it->second.c_str();
  WNDCLASSA wc = {};
  wc.style = classStyle;
  wc.lpfnWndProc = AfxWndProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.hIcon = icon;
  wc.lpszClassName = name;
  if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
  return names.emplace(name, name).first->second.c_str();
}

CWnd::~CWnd() {
  if (m_hWnd && ::IsWindow(m_hWnd) && FromHandlePermanent(m_hWnd) == this) {
    ::DestroyWindow(m_hWnd);
  }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
  return hwnd ? static_cast<CWnd*>(GetPropA(hwnd, kWndProp)) : nullptr;
}

void CWnd::Attach(HWND hwnd) {
  m_hWnd = hwnd;
  SetPropA(hwnd, kWndProp, this);
  m_pfnSuper = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
  if (m_pfnSuper == AfxWndProc) m_pfnSuper = nullptr;  // a class of our own
}

void CWnd::Detach() {
  if (!m_hWnd) return;
  if (m_pfnSuper) SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  RemovePropA(m_hWnd, kWndProp);
  m_pfnSuper = nullptr;
  m_hWnd = nullptr;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA& cs) {
  if (!cs.lpszClass) cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW));
  return TRUE;
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int cx, int cy, HWND parent, HMENU menuOrId, LPVOID param) {
  CREATESTRUCTA cs = {};
  cs.dwExStyle = static_cast<LONG>(exStyle);
  cs.lpszClass = className;
  cs.lpszName = windowName;
  cs.style = static_cast<LONG>(style);
  cs.x = x;
  cs.y = y;
  cs.cx = cx;
  cs.cy = cy;
  cs.hwndParent = parent;
  cs.hMenu = menuOrId;
  cs.hInstance = GetModuleHandleA(nullptr);
  cs.lpCreateParams = param;
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  AfxHookWindowCreate(this);
  HWND hwnd = CreateWindowExA(static_cast<DWORD>(cs.dwExStyle), cs.lpszClass, cs.lpszName,
                              static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx, cs.cy, cs.hwndParent,
                              cs.hMenu, cs.hInstance, cs.lpCreateParams);
  AfxUnhookWindowCreate();
  return hwnd != nullptr;
}

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id, LPVOID /*context*/) {
  return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

BOOL CWnd::SubclassWindow(HWND hwnd) {
  if (!hwnd || m_hWnd || FromHandlePermanent(hwnd)) return FALSE;
  Attach(hwnd);
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  return parent ? SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id))) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  HWND hwnd = m_hWnd;
  Detach();
  return hwnd;
}

std::string CWnd::GetWindowText() const {
  int n = ::GetWindowTextLengthA(m_hWnd);
  std::string text(static_cast<size_t>(n) + 1, '\0');
  n = ::GetWindowTextA(m_hWnd, &text[0], n + 1);
  text.resize(static_cast<size_t>(n > 0 ? n : 0));
  return text;
}

BOOL CWnd::CenterWindow(HWND alternateOwner) {
  RECT self, area;
  ::GetWindowRect(m_hWnd, &self);
  HWND owner = alternateOwner ? alternateOwner : ::GetWindow(m_hWnd, GW_OWNER);
  if (!owner) owner = GetDesktopWindow();
  ::GetWindowRect(owner, &area);
  int w = self.right - self.left, h = self.bottom - self.top;
  int x = area.left + (area.right - area.left - w) / 2;
  int y = area.top + (area.bottom - area.top - h) / 2;
  return ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return CallWindowProcA(m_pfnSuper, m_hWnd, msg, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, msg, wParam, lParam);
}

LRESULT CWnd::Default() {
  return DefWindowProc(t_currentMsg.message, t_currentMsg.wParam, t_currentMsg.lParam);
}

namespace {

struct Forwarded {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

BOOL CALLBACK SendToChild(HWND child, LPARAM param) {
  const auto* m = reinterpret_cast<const Forwarded*>(param);
  ::SendMessageA(child, m->msg, m->wParam, m->lParam);
  return TRUE;
}

}  // namespace

void CWnd::SendToDescendants(UINT msg, WPARAM wParam, LPARAM lParam) {
  Forwarded m = {msg, wParam, lParam};
  // EnumChildWindows visits grandchildren too, each once.
  ::EnumChildWindows(m_hWnd, SendToChild, reinterpret_cast<LPARAM>(&m));
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

void CWnd::PostNcDestroy() {}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  UINT repeat = LOWORD(lParam), keyFlags = HIWORD(lParam);
  switch (msg) {
    case WM_CREATE:
      return OnCreate(reinterpret_cast<LPCREATESTRUCTA>(lParam));
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_SIZE:
      OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_SETCURSOR:
      return OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_MOUSEMOVE:
      OnMouseMove(static_cast<UINT>(wParam), pt);
      return 0;
    case WM_LBUTTONDOWN:
      OnLButtonDown(static_cast<UINT>(wParam), pt);
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp(static_cast<UINT>(wParam), pt);
      return 0;
    case WM_MBUTTONDOWN:
      OnMButtonDown(static_cast<UINT>(wParam), pt);
      return 0;
    case WM_RBUTTONDOWN:
      OnRButtonDown(static_cast<UINT>(wParam), pt);
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(static_cast<UINT>(wParam), repeat, keyFlags);
      return 0;
    case WM_KEYUP:
      OnKeyUp(static_cast<UINT>(wParam), repeat, keyFlags);
      return 0;
    case WM_SYSKEYDOWN:
      OnSysKeyDown(static_cast<UINT>(wParam), repeat, keyFlags);
      return 0;
    case WM_SYSCOMMAND:
      OnSysCommand(static_cast<UINT>(wParam), lParam);
      return 0;
    case WM_TIMER:
      OnTimer(static_cast<UINT_PTR>(wParam));
      return 0;
    case WM_HSCROLL:
      OnHScroll(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_SYSCOLORCHANGE:
      OnSysColorChange();
      // Windows tells only top-level windows; their controls hear it from them.
      if (!(GetStyle() & WS_CHILD)) SendToDescendants(msg, wParam, lParam);
      return 0;
    case WM_KILLFOCUS:
      OnKillFocus(reinterpret_cast<HWND>(wParam));
      return 0;
    case WM_COMMAND:
      if (OnCommand(wParam, lParam)) return 0;
      break;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnNotify(wParam, lParam, &result)) return result;
      break;
    }
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      CWnd* child = dis->CtlType != ODT_MENU ? FromHandlePermanent(dis->hwndItem) : nullptr;
      LRESULT result = 0;
      if (child && child->OnChildNotify(msg, wParam, lParam, &result)) return TRUE;
      break;
    }
    default:
      break;
  }
  return DefWindowProc(msg, wParam, lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  HWND control = reinterpret_cast<HWND>(lParam);
  if (control) {
    CWnd* child = FromHandlePermanent(control);
    LRESULT result = 0;
    if (child && child != this && child->OnChildNotify(WM_COMMAND, wParam, lParam, &result))
      return TRUE;
  }
  return OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
}

BOOL CWnd::OnCmdMsg(UINT, int) { return FALSE; }

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
  auto* hdr = reinterpret_cast<NMHDR*>(lParam);
  CWnd* child = FromHandlePermanent(hdr->hwndFrom);
  return child && child != this && child->OnChildNotify(WM_NOTIFY, 0, lParam, result);
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

int CWnd::OnCreate(LPCREATESTRUCTA) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(HDC) { return static_cast<BOOL>(Default()); }
void CWnd::OnClose() { Default(); }
BOOL CWnd::OnSetCursor(HWND, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnMouseMove(UINT, POINT) { Default(); }
void CWnd::OnLButtonDown(UINT, POINT) { Default(); }
void CWnd::OnLButtonUp(UINT, POINT) { Default(); }
void CWnd::OnMButtonDown(UINT, POINT) { Default(); }
void CWnd::OnRButtonDown(UINT, POINT) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnHScroll(UINT, UINT, HWND) { Default(); }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnKillFocus(HWND) { Default(); }
