// A window that hosts one animator: creates it during window creation, starts
// its render thread, forwards sizes and closes through a fixed sequence.
#pragma once
#include <windows.h>

#include <functional>

#include "framework/wnd.h"
#include "glx/animator.h"

// Private close request; answers 0 when the close went ahead, -1 when refused.
#define WM_REQUESTCLOSE (WM_USER + 64)

namespace glx {

class COpenGLWnd : public CWnd {
  DECLARE_DYNCREATE(COpenGLWnd)
 public:
  COpenGLWnd() = default;

  // Whether the window may close now.
  virtual bool CanClose();
  using CWnd::Create;
  // Creates the window (title "ZOV Verivir") and attaches the animator.
  virtual BOOL Create(DWORD exStyle, DWORD style, const RECT& rect, CWnd* parent);

  void ShowAndAnimate();
  void SuspendAnimator();
  void ResumeAnimator();
  bool RequestClose();
  int DoClose();
  void UnhookAnimator();

  CAnimator* Animator() const { return _animator; }
  // The window class shared by every window of this kind.
  static const char* ClassName() { return _className; }

  CAnimator* _animator = nullptr;                 // owned
  const CRuntimeClass* _animatorClass = nullptr;  // not owned
  // When set, makes the animator instead of _animatorClass, so that the creator
  // hands it what it needs (a scene its settings) as it is constructed.
  std::function<CAnimator*()> _animatorFactory;

 protected:
  BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
  void PostNcDestroy() override;
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  int OnCreate(LPCREATESTRUCTA cs) override;
  void OnSize(UINT type, int cx, int cy) override;
  void OnPaint() override;
  BOOL OnEraseBkgnd(HDC dc) override;
  void OnClose() override;
  void OnDestroy() override;
  virtual LRESULT OnCloseRequest();

 private:
  CAnimator* MakeAnimator();

  static const char* _className;
};

}  // namespace glx
