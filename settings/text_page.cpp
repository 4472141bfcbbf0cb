#include "settings/text_page.h"

#include "framework/font_dialog.h"
#include "scene/scene_options.h"
#include "settings/settings_ids.h"
#include "xtl/unicode.h"

IMPLEMENT_DYNAMIC(CTextPage, CPropertyPage)

namespace {

struct Tool {
  int control;
  UINT text;
};

const Tool kTools[] = {
    {IDC_SHOW_TEXT, IDS_TIP_SHOW_TEXT},   {IDC_TEXT, IDS_TIP_TEXT},      {IDC_FONT, IDS_TIP_FONT},
    {IDC_TEXT_QUALITY, IDS_TIP_QUALITY},  {IDC_TEXT_SIZE, IDS_TIP_SIZE}, {IDC_SPEED, IDS_TIP_SPEED},
    {IDC_TEXT_COLOR, IDS_TIP_TEXT_COLOR},
};

// The controls that Show Text switches.
const int kTextControls[] = {IDC_TEXT,      IDC_FONT,  IDC_TEXT_QUALITY,
                             IDC_TEXT_SIZE, IDC_SPEED, IDC_TEXT_COLOR};

}  // namespace

CTextPage::CTextPage(SceneSettings& settings) : CPropertyPage(IDD_TEXT_PAGE), _settings(settings) {}

CTextPage::~CTextPage() = default;

void CTextPage::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_SPEED, _slider);
  DDX_Text(dx, IDC_TEXT, _settings.text);
  DDX_Kept(dx, IDC_TEXT_QUALITY, _settings.textResolution, DDX_CBIndex);
  DDX_Kept(dx, IDC_TEXT_SIZE, _settings.textSize, DDX_CBIndex);
  DDX_Check(dx, IDC_SHOW_TEXT, _settings.textShow);
  DDX_Check(dx, IDC_TEXT_COLOR, _settings.textColor);
}

BOOL CTextPage::PreTranslateMessage(MSG* msg) {
  _tooltip.RelayEvent(msg);
  return CPropertyPage::PreTranslateMessage(msg);
}

BOOL CTextPage::OnInitDialog() {
  _filling = true;
  CPropertyPage::OnInitDialog();
  const scene_options::IntRange speeds = scene_options::RangeOf(&SceneSettings::textSpeed);
  _slider.SetRange(speeds.low, speeds.high, FALSE);
  _slider.SetPos(_settings.textSpeed);
  EnableTextControls(_settings.textShow);
  UpdateData(FALSE);
  _filling = false;
  _tooltip.Create(this);
  _tooltip.Activate(TRUE);
  for (const Tool& t : kTools) _tooltip.AddTool(GetDlgItem(t.control), t.text);
  return TRUE;
}

BOOL CTextPage::OnSetActive() {
  _filling = true;
  BOOL result = CPropertyPage::OnSetActive();
  _filling = false;
  return result;
}

void CTextPage::OnOK() {
  // The slider is read only here (Apply and OK), not while it is dragged.
  _settings.textSpeed = _slider.GetPos();
  CPropertyPage::OnOK();
}

BOOL CTextPage::OnCmdMsg(UINT id, int code) {
  switch (id) {
    case IDC_FONT:
      if (code != BN_CLICKED) break;
      OnFont();
      return TRUE;
    case IDC_TEXT:
      if (code != EN_CHANGE) break;
      if (!_filling) OnModified();
      return TRUE;
    case IDC_SHOW_TEXT:
      if (code != BN_CLICKED) break;
      UpdateData(TRUE);
      EnableTextControls(_settings.textShow);
      SetModified(TRUE);
      return TRUE;
    case IDC_TEXT_COLOR:
      if (code != BN_CLICKED) break;
      OnModified();
      return TRUE;
    case IDC_TEXT_QUALITY:
    case IDC_TEXT_SIZE:
      if (code != CBN_SELENDOK) break;
      OnModified();
      return TRUE;
    default:
      break;
  }
  return CPropertyPage::OnCmdMsg(id, code);
}

void CTextPage::OnHScroll(UINT code, UINT pos, HWND scrollBar) {
  CPropertyPage::OnHScroll(code, pos, scrollBar);
  OnModified();
}

void CTextPage::OnModified() {
  UpdateData(TRUE);
  SetModified(TRUE);
}

void CTextPage::OnFont() {
  LOGFONTW lf = {};
  // A face name longer than the field's 31 characters is cut there.
  lstrcpynW(lf.lfFaceName, xtl::unicode::wide_from_utf8(_settings.font).c_str(), LF_FACESIZE);
  CFontDialog dlg(&lf, CF_SCREENFONTS | CF_FORCEFONTEXIST | CF_TTONLY);
  if (dlg.DoModal() != IDOK) return;
  _settings.font = dlg.GetFaceName();
  OnModified();
}

void CTextPage::EnableTextControls(BOOL enable) {
  for (int id : kTextControls) ::EnableWindow(GetDlgItem(id), enable);
}
