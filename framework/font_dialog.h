// The common font dialog.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <string>

class CWnd;

class CFontDialog {
 public:
  // initial may be null; flags are added to CF_INITTOLOGFONTSTRUCT when initial is given.
  explicit CFontDialog(const LOGFONTW* initial = nullptr, DWORD flags = CF_EFFECTS | CF_SCREENFONTS,
                       HDC printer = nullptr, CWnd* parent = nullptr);
  CFontDialog(const CFontDialog&) = delete;
  CFontDialog& operator=(const CFontDialog&) = delete;

  INT_PTR DoModal();  // IDOK or IDCANCEL
  // UTF-8: faces may have names outside the code page.
  std::string GetFaceName() const;

  CHOOSEFONTW m_cf;
  LOGFONTW m_lf;
};
