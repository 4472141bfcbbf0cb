// The screen-saver password: required or not, verified before closing, changed on request.
#pragma once
#include <windows.h>

#include "saver/password_lib_proxy.h"
#include "xtl/singleton.h"

class PasswordMgr : public xtl::basic_singleton<PasswordMgr> {
 public:
  ~PasswordMgr() override = default;

  // Loads the verification library when a password is required.
  bool Prepare() { return _proxy.Load(); }
  // True when the saver may close. A request while the prompt is open is refused.
  bool Verify(HWND mainWnd);
  // Unloads the library, so later checks in this process succeed without asking.
  void Release() { _proxy.Unload(); }
  bool ChangePassword(HWND owner);

  // A close must be verified: the library is loaded and asks.
  bool IsRequired() const { return _proxy.Lib() && _proxy.Lib()->Asks(); }

 private:
  friend class xtl::basic_singleton<PasswordMgr>;
  PasswordMgr() = default;

  PasswordLibProxy _proxy;
  bool _busy = false;
};
