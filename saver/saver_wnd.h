// The full-screen window of the saver: topmost, no cursor, closes on input
// after the password check; six letter keys turn the scene instead.
#pragma once
#include <windows.h>

#include <cstdint>

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

  // The window property that says the scene is ready and input counts; other
  // programs (a test driving the saver) wait for it.
  static const char* ReadyProperty() { return "VerivirSceneReady"; }

  struct MousePos {
    std::int32_t x, y;
  };
  MousePos _mousePos = {-1, -1};
  bool _closing = false;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  int OnCreate(LPCREATESTRUCTA cs) override;
  BOOL OnSetCursor(HWND hwnd, UINT hitTest, UINT message) override;
  BOOL OnEraseBkgnd(HDC dc) override;
  void OnMouseMove(UINT flags, POINT pt) override;
  void OnLButtonDown(UINT flags, POINT pt) override;
  void OnMButtonDown(UINT flags, POINT pt) override;
  void OnRButtonDown(UINT flags, POINT pt) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  void OnKeyUp(UINT key, UINT repeat, UINT flags) override;
  void OnSysKeyDown(UINT key, UINT repeat, UINT flags) override;
  void OnSysCommand(UINT id, LPARAM lParam) override;
  void OnDestroy() override;

 private:
  void OnSceneReady();
  ZAzozeru* Scene() const;
  void Close();
  // False when key is not one of the six view keys.
  bool TurnView(UINT key);
};
