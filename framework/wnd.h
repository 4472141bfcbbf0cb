// Windows attached to C++ objects: creation, message dispatch to overridable
// handlers, default processing, subclassing and reflected notifications.
#pragma once
#include <windows.h>

#include <string>

#include "framework/object.h"

class CWnd : public CObject {
  DECLARE_DYNCREATE(CWnd)
 public:
  CWnd() = default;
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return GetSafeHwnd(); }

  // The object attached to a window by this framework, or null.
  static CWnd* FromHandlePermanent(HWND hwnd);

  virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
  BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x,
                int y, int cx, int cy, HWND parent, HMENU menuOrId, LPVOID param = nullptr);
  // A child window (WS_CHILD is added); a null class is the framework's default class.
  virtual BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                      CWnd* parent, UINT id, LPVOID context = nullptr);
  virtual BOOL DestroyWindow();

  // Takes over an existing window (a dialog control, say) until it is destroyed.
  BOOL SubclassWindow(HWND hwnd);
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  HWND UnsubclassWindow();

  // Message handling: WindowProc dispatches to the On... handlers, whose
  // defaults do the default processing of the message.
  virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Default();
  virtual BOOL PreTranslateMessage(MSG* msg);
  // Called after WM_NCDESTROY, when the window is gone; may delete the object.
  virtual void PostNcDestroy();

  // Commands and notifications: first offered to the control that sent them
  // (reflection), then to OnCmdMsg / OnNotify of the parent.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnCmdMsg(UINT id, int code);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

  virtual int OnCreate(LPCREATESTRUCTA cs);
  virtual void OnDestroy();
  virtual void OnSize(UINT type, int cx, int cy);
  virtual void OnPaint();
  virtual BOOL OnEraseBkgnd(HDC dc);
  virtual void OnClose();
  virtual BOOL OnSetCursor(HWND hwnd, UINT hitTest, UINT message);
  virtual void OnMouseMove(UINT flags, POINT pt);
  virtual void OnLButtonDown(UINT flags, POINT pt);
  virtual void OnLButtonUp(UINT flags, POINT pt);
  virtual void OnMButtonDown(UINT flags, POINT pt);
  virtual void OnRButtonDown(UINT flags, POINT pt);
  virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
  virtual void OnKeyUp(UINT key, UINT repeat, UINT flags);
  virtual void OnSysKeyDown(UINT key, UINT repeat, UINT flags);
  virtual void OnSysCommand(UINT id, LPARAM lParam);
  virtual void OnTimer(UINT_PTR id);
  virtual void OnHScroll(UINT code, UINT pos, HWND scrollBar);
  virtual void OnSysColorChange();
  virtual void OnKillFocus(HWND newWnd);

  // Thin wrappers.
  BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
  BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }
  BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
  void GetClientRect(RECT* r) const { ::GetClientRect(m_hWnd, r); }
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  HWND GetParent() const { return ::GetParent(m_hWnd); }
  void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
  std::string GetWindowText() const;
  LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    return ::SendMessageA(m_hWnd, msg, wp, lp);
  }
  BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    return ::PostMessageA(m_hWnd, msg, wp, lp);
  }
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  HFONT GetFont() const {
    return reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
  }
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
  BOOL CenterWindow(HWND alternateOwner = nullptr);
  // Sends the message to every child window, grandchildren included.
  void SendToDescendants(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

 protected:
  WNDPROC m_pfnSuper = nullptr;  // the window's own procedure, for default processing

 private:
  friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
  friend LRESULT CALLBACK AfxCbtHook(int, WPARAM, LPARAM);
  void Attach(HWND hwnd);
  void Detach();
};

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Until the next window creation on this thread, attaches that window to wnd.
void AfxHookWindowCreate(CWnd* wnd);
void AfxUnhookWindowCreate();

// Registers (once) a window class with these attributes and returns its name.
const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr,
                                HBRUSH background = nullptr, HICON icon = nullptr);
