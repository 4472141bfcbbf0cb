#include "settings/settings_sheet.h"

#include "settings/settings_ids.h"

IMPLEMENT_DYNAMIC(CSettingsSheet, CPropertySheet)

namespace {

int FromBool(bool value) { return value ? 1 : 0; }
// Only a ticked box (exactly 1) counts as true.
bool ToBool(int value) { return value == 1; }

}  // namespace

CSettingsSheet::CSettingsSheet(SceneSettings& settings)
    : CPropertySheet(IDS_SHEET_CAPTION, nullptr, 0), _settings(settings) {
  AddPage(&m_about);
  AddPage(&m_gl);
  AddPage(&m_general);
  AddPage(&m_text);
  AddPage(&m_zazozeru);
  LoadPages();
}

CSettingsSheet::~CSettingsSheet() = default;

void CSettingsSheet::LoadPages() {
  const SceneSettings& s = _settings;
  m_general.m_blend = FromBool(s.blend);
  m_general.m_alpha = FromBool(s.alpha);
  m_general.m_dither = FromBool(s.dither);
  m_general.m_lights = FromBool(s.lights);
  m_general.m_smooth = FromBool(s.smooth);
  m_general.m_displayLists = FromBool(s.displayLists);
  m_text.m_text = s.text;
  m_text.m_font = s.font;
  m_text.m_quality = s.textResolution;
  m_text.m_size = s.textSize;
  m_text.m_speed = s.textSpeed;
  m_text.m_showText = FromBool(s.textShow);
  m_text.m_textColor = FromBool(s.textColor);
  m_zazozeru.m_bigShow = FromBool(s.bigShow);
  m_zazozeru.m_bigDensity = s.bigDensity;
  m_zazozeru.m_bigGestalt = s.bigGestalt;
  m_zazozeru.m_bigColor = FromBool(s.bigColor);
  m_zazozeru.m_smallShow = FromBool(s.smallShow);
  m_zazozeru.m_smallDensity = s.smallDensity;
  m_zazozeru.m_smallGestalt = s.smallGestalt;
  m_zazozeru.m_smallColor = FromBool(s.smallColor);
}

void CSettingsSheet::StorePages() {
  // doubleBuffer and genericAccel have no control and stay as they are.
  SceneSettings& s = _settings;
  s.blend = ToBool(m_general.m_blend);
  s.alpha = ToBool(m_general.m_alpha);
  s.dither = ToBool(m_general.m_dither);
  s.lights = ToBool(m_general.m_lights);
  s.smooth = ToBool(m_general.m_smooth);
  s.displayLists = ToBool(m_general.m_displayLists);
  s.text = m_text.m_text;
  s.font = m_text.m_font;
  s.textResolution = m_text.m_quality;
  s.textSize = m_text.m_size;
  s.textSpeed = m_text.m_speed;
  s.textShow = ToBool(m_text.m_showText);
  s.textColor = ToBool(m_text.m_textColor);
  s.bigShow = ToBool(m_zazozeru.m_bigShow);
  s.bigDensity = m_zazozeru.m_bigDensity;
  s.bigGestalt = m_zazozeru.m_bigGestalt;
  s.bigColor = ToBool(m_zazozeru.m_bigColor);
  s.smallShow = ToBool(m_zazozeru.m_smallShow);
  s.smallDensity = m_zazozeru.m_smallDensity;
  s.smallGestalt = m_zazozeru.m_smallGestalt;
  s.smallColor = ToBool(m_zazozeru.m_smallColor);
}

BOOL CSettingsSheet::OnCmdMsg(UINT id, int code) {
  if (id != ID_APPLY_NOW) return CPropertySheet::OnCmdMsg(id, code);
  // The control's own Apply first: the active page takes its controls' values
  // and every opened page runs its OK handling.
  Default();
  StorePages();
  m_general.SetModified(FALSE);
  m_text.SetModified(FALSE);
  m_zazozeru.SetModified(FALSE);
  SendMessage(PSM_CANCELTOCLOSE);
  return TRUE;
}
