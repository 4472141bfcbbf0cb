// A window that hosts one animator: creates it during window creation, starts
// its render thread, forwards sizes and closes through a fixed sequence.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

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

  // False when the window was destroyed meanwhile (a preview's parent that
  // closed): the object is gone then, unless the caller holds it (InUse).
  bool ShowAndAnimate();
  void SuspendAnimator();
  void ResumeAnimator();
  bool RequestClose();
  int DoClose();
  void UnhookAnimator();

  // The window has been destroyed, perhaps from outside while it was being
  // made (a preview's parent that closed at once).
  bool Destroyed() const { return _destroyed; }

  // While an operation of the window runs (or a caller holds it), a
  // destruction from outside (its thread answers messages that other threads
  // send whenever it waits on one) is carried out in full, but the object is
  // deleted only once nothing holds it any more.
  class InUse {
   public:
    explicit InUse(COpenGLWnd* wnd) : _wnd(wnd) { ++_wnd->_inUse; }
    ~InUse();
    InUse(const InUse&) = delete;
    InUse& operator=(const InUse&) = delete;

   private:
    COpenGLWnd* _wnd;
  };
  // The window class shared by every window of this kind.
  static const char* ClassName() { return _className; }

  CAnimator* _animator = nullptr;                 // owned
  const CRuntimeClass* _animatorClass = nullptr;  // not owned
  // When set, makes the animator instead of _animatorClass, so that the creator
  // hands it what it needs (a scene its settings) as it is constructed.
  std::function<CAnimator*()> _animatorFactory;
  // When set, makes the window shown while the animator's set-up takes longer
  // than a moment (the scene's wait dialog); it lives on this window's thread,
  // which keeps it painted, and is destroyed when the set-up ends.
  std::function<std::unique_ptr<CWnd>()> _waitDialogFactory;
  // How long a set-up may take before the wait dialog shows.
  static constexpr UINT kWaitDialogDelayMs = 300;

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
  void OnTimer(UINT_PTR id) override;
  virtual LRESULT OnCloseRequest();
  // The animator has prepared itself (built, failed or stopped).
  virtual void OnAnimatorReady();

 private:
  CAnimator* MakeAnimator();
  void EndWaitDialog();
  // The monitors went to sleep or woke up: no frames are drawn for nobody.
  void OnDisplayPower(bool on);
  // Lets the picture go on once nothing holds it (a close being asked about,
  // a sleeping display).
  void ResumeIfFree();

  int _inUse = 0;
  bool _deleteWhenUnused = false;
  bool _destroyed = false;

  std::unique_ptr<CWnd> _waitDialog;
  bool _asking = false;      // CanClose is running
  bool _displayOff = false;  // the monitors sleep
  HANDLE _powerNotes[2] = {};

  static const char* _className;
};

}  // namespace glx
