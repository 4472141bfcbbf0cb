#include "saver/password_lib_proxy.h"

#include "xtl/registry.h"

bool IsPasswordEnabled() {
  DWORD use = 0;
  xtl::registry::registry_key key("Control Panel\\Desktop");
  key.add("ScreenSaveUsePassword", use);
  xtl::registry::current_user root;
  return key.load(root) == xtl::registry::success && use != 0;
}

bool PasswordLibProxy::Load() {
  // Created even when PASSWORD.CPL is missing; it then verifies nothing.
  if (IsPasswordEnabled() && !_lib) _lib = new PasswordLib;
  return _lib != nullptr;
}

void PasswordLibProxy::Unload() {
  delete _lib;
  _lib = nullptr;
}
