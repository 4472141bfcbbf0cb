#include "saver/password_lib.h"

namespace {

// Windows 95/98 keep the system keys from switching away while this is set.
void MarkSaverRunning(BOOL running) {
  BOOL previous = FALSE;
  SystemParametersInfoA(SPI_SCREENSAVERRUNNING, running, &previous, SPIF_SENDWININICHANGE);
}

}  // namespace

PasswordLib::PasswordLib() {
  _module = LoadLibraryA("PASSWORD.CPL");
  if (!_module) return;
  _verify = reinterpret_cast<VerifyProc>(
      reinterpret_cast<void*>(GetProcAddress(_module, "VerifyScreenSavePwd")));
  if (_verify) MarkSaverRunning(TRUE);
}

PasswordLib::~PasswordLib() {
  if (!_module) return;
  FreeLibrary(_module);
  MarkSaverRunning(FALSE);
}

bool PasswordLib::Verify(HWND owner) { return _verify ? _verify(owner) != 0 : true; }
