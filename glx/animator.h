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
  // A cooperative pause: the render thread parks at its next frame boundary,
  // and Suspend returns once it has confirmed (or has not started drawing yet).
  void Suspend();
  // Starts the thread on its first call; later ones release a pause.
  void Resume();
  // Asks the thread to end at its next wait point and waits up to timeoutMs.
  // True when the thread has ended (or never existed); the engine may then be
  // deleted. Otherwise it must be given up with Abandon, not deleted.
  bool Stop(DWORD timeoutMs);
  // Hands a stopped engine whose thread has not ended yet over to that thread,
  // which deletes it as it ends; deletes it at once if the thread has ended.
  // The caller must not use the engine afterwards.
  void Abandon();

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
  DWORD _pixelFlags = 0;  // the flags the window's pixel format was asked with
  HDC _hdc = nullptr;
  HGLRC _hrc = nullptr;
  std::atomic<int> _cx{0};
  std::atomic<int> _cy{0};
  std::atomic<DWORD> _lastFrame{0};
  HWND _hwnd = nullptr;
  // Owned: auto-deletion is switched off, so the handle stays valid after the
  // thread ends and the engine never touches a deleted thread object. Abandon
  // hands it back to the thread, which then deletes it with the engine.
  CWinThread* _thread = nullptr;
  CCriticalSection _lock;

 private:
  static UINT ThreadProc(LPVOID param);

  void RequestStop();
  // Parks the render thread while a pause is requested, until Resume or Stop.
  void ParkWhilePaused();
  // Marks the thread as finished; true when the engine was abandoned to it.
  bool Finish();

  HANDLE _wake = nullptr;    // auto-reset: ends a wait of the render thread early
  HANDLE _parked = nullptr;  // auto-reset: the render thread parked for a pause
  std::atomic<bool> _pause{false};
  std::atomic<bool> _inLoop{false};       // past its set-up, drawing frames
  std::atomic<bool> _cancelStart{false};  // end a thread that never ran at once
  std::atomic<unsigned> _pauseRequest{0};
  std::atomic<unsigned> _pauseConfirmed{0};
  bool _started = false;    // user-interface thread only
  bool _finished = false;   // under _lock
  bool _abandoned = false;  // under _lock
};

}  // namespace glx
