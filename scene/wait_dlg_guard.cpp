#include "scene/wait_dlg_guard.h"

#include <windows.h>
#include <commctrl.h>

#include "scene/zazozeru.h"
#include "scene/wait_dlg.h"
#include "scene/wait_dlg_resource.h"

CWaitDlgGuard::CWaitDlgGuard(ZAzozeru* scene) : _dialog(nullptr), _scene(scene) {
  _scene->_preparing = true;
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_ANIMATE_CLASS};
  InitCommonControlsEx(&icc);
  // Failures are ignored: the scene is built without the dialog.
  try {
    _dialog = new CWaitDlg;
    if (!_dialog->Create(IDD_WAIT, GetDesktopWindow())) {
      delete _dialog;
      _dialog = nullptr;
    }
  } catch (...) {
    delete _dialog;
    _dialog = nullptr;
  }
}

CWaitDlgGuard::~CWaitDlgGuard() {
  if (_dialog) {
    _dialog->DestroyWindow();
    delete _dialog;
    _dialog = nullptr;
  }
  _scene->_preparing = false;
  if (HWND window = _scene->Window()) PostMessageA(window, WM_SCENEREADY, 0, 0);
}
