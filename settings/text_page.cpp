#include "settings/text_page.h"

#include "framework/font_dialog.h"
#include "settings/settings_ids.h"

IMPLEMENT_DYNCREATE(CTextPage, CPropertyPage)

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

CTextPage::CTextPage() : CPropertyPage(IDD_TEXT_PAGE) {}

CTextPage::~CTextPage() = default;

void CTextPage::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_SPEED, m_slider);
  DDX_Text(dx, IDC_TEXT, m_text);
  DDX_CBIndex(dx, IDC_TEXT_QUALITY, m_quality);
  DDX_CBIndex(dx, IDC_TEXT_SIZE, m_size);
  DDX_Check(dx, IDC_SHOW_TEXT, m_showText);
  DDX_Check(dx, IDC_TEXT_COLOR, m_textColor);
}

BOOL CTextPage::PreTranslateMessage(MSG* msg) {
  m_tooltip.RelayEvent(msg);
  return CPropertyPage::PreTranslateMessage(msg);
}

BOOL CTextPage::OnInitDialog() {
  m_filling = true;
  CPropertyPage::OnInitDialog();
  m_slider.SetRange(0, 10, FALSE);
  m_slider.SetPos(m_speed);
  EnableTextControls(m_showText);
  UpdateData(FALSE);
  m_filling = false;
  m_tooltip.Create(this);
  m_tooltip.Activate(TRUE);
  for (const Tool& t : kTools) m_tooltip.AddTool(GetDlgItem(t.control), t.text);
  return TRUE;
}

BOOL CTextPage::OnSetActive() {
  m_filling = true;
  BOOL result = CPropertyPage::OnSetActive();
  m_filling = false;
  return result;
}

void CTextPage::OnOK() {
  // The slider is read only here (Apply and OK), not while it is dragged.
  m_speed = m_slider.GetPos();
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
      if (!m_filling) OnModified();
      return TRUE;
    case IDC_SHOW_TEXT:
      if (code != BN_CLICKED) break;
      UpdateData(TRUE);
      EnableTextControls(m_showText);
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
  LOGFONTA lf = {};
  // A face name longer than the field's 31 characters is cut there.
  lstrcpynA(lf.lfFaceName, m_font.c_str(), LF_FACESIZE);
  CFontDialog dlg(&lf, CF_SCREENFONTS | CF_FORCEFONTEXIST | CF_TTONLY);
  if (dlg.DoModal() != IDOK) return;
  m_font = dlg.GetFaceName();
  OnModified();
}

void CTextPage::EnableTextControls(BOOL enable) {
  for (int id : kTextControls) ::EnableWindow(GetDlgItem(id), enable);
}
