#include "framework/font_dialog.h"

#include "framework/wnd.h"
#include "xtl/unicode.h"

CFontDialog::CFontDialog(const LOGFONTW* initial, DWORD flags, HDC printer, CWnd* parent)
    : m_cf(), m_lf() {
  m_cf.lStructSize = sizeof m_cf;
  m_cf.hwndOwner = parent ? parent->m_hWnd : nullptr;
  m_cf.hDC = printer;
  m_cf.lpLogFont = &m_lf;
  m_cf.Flags = flags;
  if (printer) m_cf.Flags |= CF_PRINTERFONTS;
  if (initial) {
    m_lf = *initial;
    m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
  }
}

INT_PTR CFontDialog::DoModal() {
  // Without a parent the active window owns it, so the dialog stays modal to it.
  if (!m_cf.hwndOwner) m_cf.hwndOwner = GetActiveWindow();
  return ChooseFontW(&m_cf) ? IDOK : IDCANCEL;
}

std::string CFontDialog::GetFaceName() const {
  return xtl::unicode::utf8_from_wide(m_lf.lfFaceName);
}
