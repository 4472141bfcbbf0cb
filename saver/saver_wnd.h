// The full-screen window of the saver: topmost, no cursor, closes on input
// after the password check; six letter keys turn the scene instead.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

#include "glx/monitor_layout.h"
#include "glx/opengl_wnd.h"

class ZAzozeru;

class CSaverWnd : public glx::COpenGLWnd {
  DECLARE_DYNCREATE(CSaverWnd)
 public:
  CSaverWnd() = default;

  // Covers every monitor, one picture on each; hidden until ShowAndAnimate.
  BOOL CreateFullScreen(CWnd* parent);
  bool CanClose() override;
  bool IsSceneBusy() const;
  // While a password is required and has not been given, the saver is the
  // machine's lock: only a verified close or the end of the session ends it.
  bool IsLocked() const;

  // The window property that says the scene is ready and input counts; other
  // programs (a test driving the saver) wait for it.
  static const char* ReadyProperty() { return "VerivirSceneReady"; }

  struct MousePos {
    std::int32_t x, y;
  };
  MousePos _mousePos = {-1, -1};
  bool _closing = false;
  // Where the window goes and where its pictures lie: the system's monitors as
  // they are now. Read at creation and whenever the monitors change.
  std::function<glx::monitor_layout()> _layoutReader;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  int OnCreate(LPCREATESTRUCTA cs) override;
  BOOL OnSetCursor(HWND hwnd, UINT hitTest, UINT message) override;
  void OnMouseMove(UINT flags, POINT pt) override;
  void OnLButtonDown(UINT flags, POINT pt) override;
  void OnMButtonDown(UINT flags, POINT pt) override;
  void OnRButtonDown(UINT flags, POINT pt) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  void OnKeyUp(UINT key, UINT repeat, UINT flags) override;
  void OnSysKeyDown(UINT key, UINT repeat, UINT flags) override;
  void OnSysCommand(UINT id, LPARAM lParam) override;
  void OnDestroy() override;
  void OnAnimatorReady() override;

 private:
  // Moves the window over the monitors as they are now and hands the engine
  // their pictures, with the render thread paused around both.
  void FollowMonitors();
  void OnSessionEnd();
  ZAzozeru* Scene() const;
  void Close();
  // False when key is not one of the six view keys.
  bool TurnView(UINT key);
};
