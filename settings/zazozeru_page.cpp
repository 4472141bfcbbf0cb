#include "settings/zazozeru_page.h"

#include "settings/settings_ids.h"

IMPLEMENT_DYNAMIC(ZAzozeruPage, CPropertyPage)

namespace {

struct Tool {
  int control;
  UINT text;
};

const Tool kTools[] = {
    {IDC_BIG_SHOW, IDS_TIP_BIG_SHOW},           {IDC_BIG_DENSITY, IDS_TIP_BIG_DENSITY},
    {IDC_BIG_POINTS, IDS_TIP_BIG_POINTS},       {IDC_BIG_WIRE, IDS_TIP_BIG_WIRE},
    {IDC_BIG_COLOR, IDS_TIP_BIG_COLOR},         {IDC_SMALL_SHOW, IDS_TIP_SMALL_SHOW},
    {IDC_SMALL_DENSITY, IDS_TIP_SMALL_DENSITY}, {IDC_SMALL_POINTS, IDS_TIP_SMALL_POINTS},
    {IDC_SMALL_WIRE, IDS_TIP_SMALL_WIRE},       {IDC_SMALL_SOLID, IDS_TIP_SMALL_SOLID},
    {IDC_SMALL_COLOR, IDS_TIP_SMALL_COLOR},
};

const int kBigControls[] = {IDC_BIG_DENSITY, IDC_BIG_APPEARANCE, IDC_BIG_POINTS, IDC_BIG_WIRE,
                            IDC_BIG_COLOR};
const int kSmallControls[] = {IDC_SMALL_DENSITY, IDC_SMALL_APPEARANCE, IDC_SMALL_POINTS,
                              IDC_SMALL_WIRE,    IDC_SMALL_SOLID,      IDC_SMALL_COLOR};

}  // namespace

ZAzozeruPage::ZAzozeruPage(SceneSettings& settings)
    : CPropertyPage(IDD_ZAZOZERU_PAGE), _settings(settings) {}

ZAzozeruPage::~ZAzozeruPage() = default;

void ZAzozeruPage::DoDataExchange(CDataExchange* dx) {
  DDX_Kept(dx, IDC_BIG_DENSITY, _settings.bigDensity, DDX_CBIndex);
  DDX_Kept(dx, IDC_SMALL_DENSITY, _settings.smallDensity, DDX_CBIndex);
  DDX_Kept(dx, IDC_BIG_POINTS, _settings.bigGestalt, DDX_Radio);
  DDX_Kept(dx, IDC_SMALL_POINTS, _settings.smallGestalt, DDX_Radio);
  DDX_Check(dx, IDC_BIG_SHOW, _settings.bigShow);
  DDX_Check(dx, IDC_SMALL_SHOW, _settings.smallShow);
  DDX_Check(dx, IDC_SMALL_COLOR, _settings.smallColor);
  DDX_Check(dx, IDC_BIG_COLOR, _settings.bigColor);
}

BOOL ZAzozeruPage::PreTranslateMessage(MSG* msg) {
  _tooltip.RelayEvent(msg);
  return CPropertyPage::PreTranslateMessage(msg);
}

BOOL ZAzozeruPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  EnableBig(_settings.bigShow);
  EnableSmall(_settings.smallShow);
  _tooltip.Create(this);
  _tooltip.Activate(TRUE);
  for (const Tool& t : kTools) _tooltip.AddTool(GetDlgItem(t.control), t.text);
  return TRUE;
}

BOOL ZAzozeruPage::OnCmdMsg(UINT id, int code) {
  if (code == BN_CLICKED) {
    switch (id) {
      case IDC_BIG_SHOW:
        UpdateData(TRUE);
        EnableBig(_settings.bigShow);
        SetModified(TRUE);
        return TRUE;
      case IDC_SMALL_SHOW:
        UpdateData(TRUE);
        EnableSmall(_settings.smallShow);
        SetModified(TRUE);
        return TRUE;
      case IDC_BIG_COLOR:
      case IDC_SMALL_COLOR:
      case IDC_BIG_POINTS:
      case IDC_BIG_WIRE:
      case IDC_SMALL_POINTS:
      case IDC_SMALL_WIRE:
      case IDC_SMALL_SOLID:
        OnModified();
        return TRUE;
      default:
        break;
    }
  }
  if (id == IDC_BIG_DENSITY || id == IDC_SMALL_DENSITY) {
    if (code == CBN_SELENDOK) {
      OnModified();
      return TRUE;
    }
    if (code == CBN_CLOSEUP) {
      // A list dropped down and closed without a new choice is no change.
      const std::int32_t& index =
          id == IDC_BIG_DENSITY ? _settings.bigDensity : _settings.smallDensity;
      const std::int32_t before = index;
      UpdateData(TRUE);
      if (index != before) SetModified(TRUE);
      return TRUE;
    }
  }
  return CPropertyPage::OnCmdMsg(id, code);
}

void ZAzozeruPage::OnModified() {
  UpdateData(TRUE);
  SetModified(TRUE);
}

void ZAzozeruPage::EnableBig(BOOL enable) {
  for (int id : kBigControls) ::EnableWindow(GetDlgItem(id), enable);
}

void ZAzozeruPage::EnableSmall(BOOL enable) {
  for (int id : kSmallControls) ::EnableWindow(GetDlgItem(id), enable);
}
