// The animation engine: one render thread per window that owns the window's
// device context and OpenGL context and runs a scene's hooks in a fixed order.
//
// Failures in glx: a hook or operation that fails returns false (or null) and
// the engine goes on without what failed. Only set-up throws: the engine's
// pixel format and context (std::runtime_error naming the operation), the
// quadric (basic_quadric::cannot_allocate). Every handler either logs what it
// caught (log_failure) where the work goes on or stops quietly, or shows it
// (report_failure) where it ends a window's creation or close.
#pragma once
#include <windows.h>

#include <atomic>
#include <vector>

#include "framework/object.h"
#include "framework/sync.h"
#include "framework/thread.h"
#include "glx/frame_pacing.h"
#include "glx/monitor_layout.h"

// Posted by the render thread to its window as its set-up begins and as it
// ends (built, failed or stopped); the window shows a wait dialog meanwhile.
#define WM_ANIMATORPREPARING (WM_APP + 1)
#define WM_ANIMATORREADY (WM_APP + 2)

namespace glx {

class CAnimator : public CObject {
  DECLARE_DYNCREATE(CAnimator)
 public:
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
  // Moves the scene on by the time since the last frame, in ticks of 31 ms
  // (0 for the first frame after the set-up or a pause); called before each
  // frame is drawn.
  virtual void Advance(double ticks);
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
  // One picture per viewport, each with its own aspect, one swap per frame.
  // Fewer than two means one picture over the whole client area. Handed over
  // under a lock and taken up at the next frame boundary; a window that also
  // moves pauses the thread around both, so no frame mixes old and new.
  void SetViewports(std::vector<gl_viewport> viewports);
  // A cooperative pause: the render thread parks at its next frame boundary,
  // and Suspend returns once it has confirmed (or has not started drawing yet).
  // True when this call paused a running thread; false when there was nothing
  // to pause (never started, or paused already).
  bool Suspend();
  // Starts the thread on its first call; later ones release a pause.
  void Resume();
  // A pause was asked for and not yet released.
  bool Paused() const { return _pause; }
  // The window shows what the render thread drew (the black of its set-up
  // at least): until then the window paints itself black.
  bool HasDrawn() const { return _drawn; }
  // Asks the thread to end at its next wait point and waits up to timeoutMs,
  // answering messages other threads send meanwhile (a render thread may be
  // waiting on one). True when the thread has ended (or never existed); the
  // engine may then be deleted. Otherwise it must be given up with Abandon.
  bool Stop(DWORD timeoutMs);
  // Hands a stopped engine whose thread has not ended yet over to that thread,
  // which deletes it as it ends; deletes it at once if the thread has ended.
  // The caller must not use the engine afterwards.
  void Abandon();
  // Render threads of abandoned engines that have not ended yet. A program
  // that ends while one runs must not tear down what such a thread may touch.
  static unsigned AbandonedThreads() { return _abandonedThreads; }

  HWND Window() const { return _hwnd; }
  // The viewports last handed over (user-interface thread).
  const std::vector<gl_viewport>& Viewports() const { return _handedViewports; }

  // True from the first Resume until the set-up has ended; the window ignores
  // input meanwhile. Written by both threads, hence atomic.
  std::atomic<bool> _preparing{false};

 protected:
  // A long set-up (a scene building its glyphs) works in steps and gives up
  // when this turns true between them.
  bool StopRequested() const { return _stop; }

  // The clock that measures the scene's time and paces frames, in
  // milliseconds (replaceable in tests).
  virtual double Now() const;
  // How frames are paced on this renderer and display; called on the render
  // thread, with the context current, before the first frame and after each
  // pause (the window may have moved to another monitor).
  virtual frame_pacing ChoosePacing();
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
  HWND _hwnd = nullptr;
  // Owned: auto-deletion is switched off, so the handle stays valid after the
  // thread ends and the engine never touches a deleted thread object. Abandon
  // hands it back to the thread, which then deletes it with the engine.
  CWinThread* _thread = nullptr;
  CCriticalSection _lock;

 private:
  static UINT ThreadProc(LPVOID param);

  void RequestStop();
  // One view of the scene (PreDraw and Draw); false when a hook failed.
  bool DrawView();
  // Parks the render thread while a pause is requested, until Resume or Stop.
  void ParkWhilePaused();
  // Marks the thread as finished; true when the engine was abandoned to it.
  bool Finish();
  // Render thread: takes viewports handed over since the last frame.
  void TakeViewports();
  // Ends the preparing state once and tells the window.
  void EndPreparing();
  // Render thread: paces anew and restarts the scene's time, so that what
  // came before (the set-up, a pause) does not count.
  void StartClock();
  // Asks the driver, through its wglSwapIntervalEXT (set), to wait for the
  // n-th refresh in SwapBuffers, if it can.
  bool SetSwapInterval(BOOL(WINAPI* set)(int), int n);
  // The refresh rate of the monitor the window is on; 0 when unknown.
  double RefreshRate() const;

  HANDLE _wake = nullptr;    // auto-reset: ends a wait of the render thread early
  HANDLE _parked = nullptr;  // auto-reset: the render thread parked for a pause
  std::atomic<bool> _pause{false};
  std::atomic<bool> _inLoop{false};       // past its set-up, drawing frames
  std::atomic<bool> _cancelStart{false};  // end a thread that never ran at once
  std::atomic<unsigned> _pauseRequest{0};
  std::atomic<unsigned> _pauseConfirmed{0};
  bool _started = false;         // user-interface thread only
  bool _finished = false;        // under _lock
  bool _abandoned = false;       // under _lock
  bool _announcedReady = false;  // render thread only
  std::atomic<bool> _drawn{false};
  // Frame timing, render thread only.
  bool _clockStopped = true;  // restarted before the next frame
  frame_pacing _pacing;
  frame_clock _clock;
  frame_schedule _schedule;
  double _frameTime = 0.0;  // the clock when the frame now due was taken
  int _swapInterval = 0;    // asked of the driver
  static std::atomic<unsigned> _abandonedThreads;
  std::vector<gl_viewport> _viewports;        // render thread only
  std::vector<gl_viewport> _handedViewports;  // user-interface thread only
  CCriticalSection _viewportLock;             // guards the two below
  std::vector<gl_viewport> _pendingViewports;
  std::atomic<bool> _viewportsHanded{false};
};

}  // namespace glx
