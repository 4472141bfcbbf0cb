#include "settings/settings_sheet.h"

#include "settings/settings_ids.h"

IMPLEMENT_DYNAMIC(CSettingsSheet, CPropertySheet)

CSettingsSheet::CSettingsSheet(SceneSettings& settings)
    : CPropertySheet(IDS_SHEET_CAPTION, nullptr, 0),
      _settings(settings),
      _edited(settings),
      _general(_edited),
      _text(_edited),
      _zazozeru(_edited) {
  AddPage(&_about);
  AddPage(&_gl);
  AddPage(&_general);
  AddPage(&_text);
  AddPage(&_zazozeru);
}

CSettingsSheet::~CSettingsSheet() = default;

BOOL CSettingsSheet::OnCmdMsg(UINT id, int code) {
  if (id == IDOK) {
    const BOOL handled = CPropertySheet::OnCmdMsg(id, code);
    if (GetResult() == IDOK) _settings = _edited;
    return handled;
  }
  if (id != ID_APPLY_NOW) return CPropertySheet::OnCmdMsg(id, code);
  // The control's own Apply first: the active page takes its controls' values
  // and every opened page runs its OK handling.
  Default();
  _settings = _edited;
  _general.SetModified(FALSE);
  _text.SetModified(FALSE);
  _zazozeru.SetModified(FALSE);
  SendMessage(PSM_CANCELTOCLOSE);
  return TRUE;
}
