#include "settings/settings_sheet.h"

#include "settings/settings_ids.h"

IMPLEMENT_DYNAMIC(CSettingsSheet, CPropertySheet)

namespace {

int FromBool(bool value) { return value ? 1 : 0; }
// Only a ticked box (exactly 1) counts as true.
bool ToBool(int value) { return value == 1; }

// A list or radio group with nothing selected (-1: the stored value is one it
// cannot show) says nothing about the field, which keeps its value.
void FromIndex(int index, std::int32_t& field) {
  if (index >= 0) field = index;
}

}  // namespace

CSettingsSheet::CSettingsSheet(SceneSettings& settings)
    : CPropertySheet(IDS_SHEET_CAPTION, nullptr, 0), _settings(settings) {
  AddPage(&_about);
  AddPage(&_gl);
  AddPage(&_general);
  AddPage(&_text);
  AddPage(&_zazozeru);
  LoadPages();
}

CSettingsSheet::~CSettingsSheet() = default;

void CSettingsSheet::LoadPages() {
  const SceneSettings& s = _settings;
  _general._blend = FromBool(s.blend);
  _general._alpha = FromBool(s.alpha);
  _general._dither = FromBool(s.dither);
  _general._lights = FromBool(s.lights);
  _general._smooth = FromBool(s.smooth);
  _general._displayLists = FromBool(s.displayLists);
  _text._text = s.text;
  _text._font = s.font;
  _text._quality = s.textResolution;
  _text._size = s.textSize;
  _text._speed = s.textSpeed;
  _text._showText = FromBool(s.textShow);
  _text._textColor = FromBool(s.textColor);
  _zazozeru._bigShow = FromBool(s.bigShow);
  _zazozeru._bigDensity = s.bigDensity;
  _zazozeru._bigGestalt = s.bigGestalt;
  _zazozeru._bigColor = FromBool(s.bigColor);
  _zazozeru._smallShow = FromBool(s.smallShow);
  _zazozeru._smallDensity = s.smallDensity;
  _zazozeru._smallGestalt = s.smallGestalt;
  _zazozeru._smallColor = FromBool(s.smallColor);
}

void CSettingsSheet::StorePages() {
  // doubleBuffer and genericAccel have no control and stay as they are.
  SceneSettings& s = _settings;
  s.blend = ToBool(_general._blend);
  s.alpha = ToBool(_general._alpha);
  s.dither = ToBool(_general._dither);
  s.lights = ToBool(_general._lights);
  s.smooth = ToBool(_general._smooth);
  s.displayLists = ToBool(_general._displayLists);
  s.text = _text._text;
  s.font = _text._font;
  FromIndex(_text._quality, s.textResolution);
  FromIndex(_text._size, s.textSize);
  s.textSpeed = _text._speed;
  s.textShow = ToBool(_text._showText);
  s.textColor = ToBool(_text._textColor);
  s.bigShow = ToBool(_zazozeru._bigShow);
  FromIndex(_zazozeru._bigDensity, s.bigDensity);
  FromIndex(_zazozeru._bigGestalt, s.bigGestalt);
  s.bigColor = ToBool(_zazozeru._bigColor);
  s.smallShow = ToBool(_zazozeru._smallShow);
  FromIndex(_zazozeru._smallDensity, s.smallDensity);
  FromIndex(_zazozeru._smallGestalt, s.smallGestalt);
  s.smallColor = ToBool(_zazozeru._smallColor);
}

BOOL CSettingsSheet::OnCmdMsg(UINT id, int code) {
  if (id != ID_APPLY_NOW) return CPropertySheet::OnCmdMsg(id, code);
  // The control's own Apply first: the active page takes its controls' values
  // and every opened page runs its OK handling.
  Default();
  StorePages();
  _general.SetModified(FALSE);
  _text.SetModified(FALSE);
  _zazozeru.SetModified(FALSE);
  SendMessage(PSM_CANCELTOCLOSE);
  return TRUE;
}
