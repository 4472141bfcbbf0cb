#include "settings/about_page.h"

#include "framework/app.h"
#include "framework/scaled_icon.h"
#include "framework/strings.h"
#include "settings/build_stamp.h"
#include "settings/settings_ids.h"
#include "verivir_build_time.h"

CAboutPage::CAboutPage()
    : CPropertyPage(IDD_ABOUT_PAGE),
      _home(IDS_LINK_HOME),
      _mail(IDS_LINK_MAIL),
      _update(IDS_LINK_UPDATE) {
  // The build time in the form of __TIMESTAMP__: the commit's where there is one,
  // so that two builds of one commit are the same to the byte.
#ifdef VERIVIR_BUILD_TIME
  std::string stamp = build_stamp::FromUnixTime(VERIVIR_BUILD_TIME);
#else
  std::string stamp = build_stamp::FromDateAndTime(__DATE__, __TIME__);
#endif
  AfxFormatString1(_build, IDS_BUILD, stamp.c_str());
}

CAboutPage::~CAboutPage() = default;

void CAboutPage::DoDataExchange(CDataExchange* dx) { DDX_Text(dx, IDC_BUILD, _build); }

BOOL CAboutPage::PreTranslateMessage(MSG* msg) {
  _tooltip.RelayEvent(msg);
  return CPropertyPage::PreTranslateMessage(msg);
}

BOOL CAboutPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  HCURSOR hand = LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_HAND_CURSOR));
  _home.SubclassDlgItem(IDC_LINK_HOME, this);
  _mail.SubclassDlgItem(IDC_LINK_MAIL, this);
  _update.SubclassDlgItem(IDC_LINK_UPDATE, this);
  _home.SetCursor(hand);
  _mail.SetCursor(hand);
  _update.SetCursor(hand);
  _tooltip.Create(this);
  _tooltip.Activate(TRUE);
  _tooltip.AddTool(_home.m_hWnd, IDS_TIP_HOME);
  _tooltip.AddTool(_mail.m_hWnd, IDS_TIP_MAIL);
  _tooltip.AddTool(_update.m_hWnd, IDS_TIP_UPDATE);
  AfxScaleDialogIcons(m_hWnd, AfxGetResourceHandle(), IDI_VERIVIR);
  return TRUE;
}

BOOL CAboutPage::OnKillActive() {
  // A hovering link holds the mouse capture, which the next page needs.
  _home.EndHover();
  _mail.EndHover();
  _update.EndHover();
  return CPropertyPage::OnKillActive();
}

CLinkButton& CAboutPage::GetLink(Link link) {
  return link == kHome ? _home : link == kMail ? _mail : _update;
}
