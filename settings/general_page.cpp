#include "settings/general_page.h"

#include "settings/settings_ids.h"

namespace {

struct Tool {
  int control;
  UINT text;
};

const Tool kTools[] = {
    {IDC_BLEND, IDS_TIP_BLEND},   {IDC_ALPHA, IDS_TIP_ALPHA},
    {IDC_DITHER, IDS_TIP_DITHER}, {IDC_LIGHTS, IDS_TIP_LIGHTS},
    {IDC_SMOOTH, IDS_TIP_SMOOTH}, {IDC_DISPLAY_LISTS, IDS_TIP_DISPLAY_LISTS},
};

}  // namespace

CGeneralPage::CGeneralPage(SceneSettings& settings)
    : CPropertyPage(IDD_GENERAL_PAGE), _settings(settings) {}

CGeneralPage::~CGeneralPage() = default;

void CGeneralPage::DoDataExchange(CDataExchange* dx) {
  DDX_Check(dx, IDC_BLEND, _settings.blend);
  DDX_Check(dx, IDC_ALPHA, _settings.alpha);
  DDX_Check(dx, IDC_DITHER, _settings.dither);
  DDX_Check(dx, IDC_LIGHTS, _settings.lights);
  DDX_Check(dx, IDC_SMOOTH, _settings.smooth);
  DDX_Check(dx, IDC_DISPLAY_LISTS, _settings.displayLists);
}

BOOL CGeneralPage::PreTranslateMessage(MSG* msg) {
  _tooltip.RelayEvent(msg);
  return CPropertyPage::PreTranslateMessage(msg);
}

BOOL CGeneralPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  _tooltip.Create(this);
  _tooltip.Activate(TRUE);
  for (const Tool& t : kTools) _tooltip.AddTool(GetDlgItem(t.control), t.text);
  return TRUE;
}

BOOL CGeneralPage::OnCmdMsg(UINT id, int code) {
  if (code == BN_CLICKED) {
    for (const Tool& t : kTools) {
      if (static_cast<int>(id) == t.control) {
        OnModified();
        return TRUE;
      }
    }
  }
  return CPropertyPage::OnCmdMsg(id, code);
}

void CGeneralPage::OnModified() {
  UpdateData(TRUE);
  SetModified(TRUE);
}
