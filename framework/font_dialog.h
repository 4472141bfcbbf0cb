// The common font dialog.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <string>

class CWnd;

class CFontDialog {
 public:
  // initial may be null; flags are added to CF_INITTOLOGFONTSTRUCT when initial is given.
  explicit CFontDialog(const LOGFONTA* initial = nullptr, DWORD flags = CF_EFFECTS | CF_SCREENFONTS,
                       HDC printer = nullptr, CWnd* parent = nullptr);
  CFontDialog(const CFontDialog&) = delete;
  CFontDialog& operator=(const CFontDialog&) = delete;

  INT_PTR DoModal();  // IDOK or IDCANCEL
  std::string GetFaceName() const { return m_lf.lfFaceName; }

  CHOOSEFONTA m_cf;
  LOGFONTA m_lf;
};
