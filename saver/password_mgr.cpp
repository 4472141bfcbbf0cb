#include "saver/password_mgr.h"

#include "saver/password_change_lib.h"

bool PasswordMgr::Verify(HWND mainWnd) {
  if (_busy) return false;
  _busy = true;
  PasswordLib* lib = _proxy.Lib();
  bool result = lib ? lib->Verify(mainWnd) : true;
  _busy = false;
  return result;
}

bool PasswordMgr::ChangePassword(HWND owner) {
  PasswordChangeLib lib;
  return lib.ChangePassword(owner);
}
