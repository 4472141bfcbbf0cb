// The animation engine: one render thread per window that owns the window's
// device context and OpenGL context and runs a scene's hooks in a fixed order.
#pragma once
#include <windows.h>

#include <atomic>
#include <string>

#include "framework/object.h"
#include "framework/sync.h"
#include "framework/thread.h"

namespace glx {

class CAnimator : public CObject {
  DECLARE_DYNCREATE(CAnimator)
 public:
  // Thrown when an animator cannot be created; the window reports its text.
  struct error {
    std::string text;
  };

  CAnimator();
  ~CAnimator() override;
  CAnimator(const CAnimator&) = delete;
  CAnimator& operator=(const CAnimator&) = delete;

  // Hooks, in slot order.
  virtual bool AttachWindow(HWND hwnd);
  virtual void ApplySettings();
  virtual bool InitGL();
  virtual bool ExitGL();
  virtual int SetupPixelFormat(DWORD flags, BYTE colorBits, BYTE depthBits);
  virtual bool SetViewport(int cx, int cy);
  virtual bool SetProjection(double aspect);
  virtual bool SetupView();
  virtual void Advance();
  virtual void PreDraw();
  virtual void Draw();
  virtual bool ThreadInit();
  virtual bool ThreadExit();
  virtual void Resize();
  virtual bool CreateRC();
  virtual void DeleteRC();
  virtual void FreeDC();
  virtual bool Step();
  virtual void RenderFrame();
  virtual bool IsFrameDue();

  // Called by the window, on its user-interface thread.
  void StartAnimation();
  void SetSize(int cx, int cy);
  void Suspend();
  void Resume();
  void Stop(DWORD timeoutMs);

  HWND Window() const { return _hwnd; }

 protected:
  // The millisecond clock that paces frames (replaceable in tests).
  virtual DWORD Now() const;
  // Between steps the render thread sleeps until the next frame is due, or
  // until SetSize, StartAnimation or Stop wakes it, instead of spinning.
  virtual void WaitForNextStep();

  // Flags and sizes are shared with the user-interface thread without a lock;
  // atomics keep each read and write whole.
  std::atomic<bool> _stop{false};
  std::atomic<bool> _running{false};
  std::atomic<bool> _resize{false};
  bool _doubleBuffer = false;
  HDC _hdc = nullptr;
  HGLRC _hrc = nullptr;
  std::atomic<int> _cx{0};
  std::atomic<int> _cy{0};
  std::atomic<DWORD> _lastFrame{0};
  HWND _hwnd = nullptr;
  // Owned: auto-deletion is switched off, so the handle stays valid after the
  // thread ends and the engine never touches a deleted thread object.
  CWinThread* _thread = nullptr;
  CCriticalSection _lock;

 private:
  static UINT ThreadProc(LPVOID param);

  HANDLE _wake = nullptr;   // auto-reset event that ends WaitForNextStep early
  bool _suspended = false;  // user-interface thread only
};

}  // namespace glx
