#include "settings/about_page.h"

#include "framework/app.h"
#include "framework/scaled_icon.h"
#include "framework/strings.h"
#include "settings/build_stamp.h"
#include "settings/settings_ids.h"

CAboutPage::CAboutPage()
    : CPropertyPage(IDD_ABOUT_PAGE),
      m_home(IDS_LINK_HOME),
      m_mail(IDS_LINK_MAIL),
      m_update(IDS_LINK_UPDATE) {
  // The time this file was compiled, in the form of __TIMESTAMP__.
  std::string stamp = build_stamp::FromDateAndTime(__DATE__, __TIME__);
  AfxFormatString1(m_build, IDS_BUILD, stamp.c_str());
}

CAboutPage::~CAboutPage() = default;

void CAboutPage::DoDataExchange(CDataExchange* dx) { DDX_Text(dx, IDC_BUILD, m_build); }

BOOL CAboutPage::PreTranslateMessage(MSG* msg) {
  m_tooltip.RelayEvent(msg);
  return CPropertyPage::PreTranslateMessage(msg);
}

BOOL CAboutPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  HCURSOR hand = LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_HAND_CURSOR));
  m_home.SubclassDlgItem(IDC_LINK_HOME, this);
  m_mail.SubclassDlgItem(IDC_LINK_MAIL, this);
  m_update.SubclassDlgItem(IDC_LINK_UPDATE, this);
  m_home.SetCursor(hand);
  m_mail.SetCursor(hand);
  m_update.SetCursor(hand);
  m_tooltip.Create(this);
  m_tooltip.Activate(TRUE);
  m_tooltip.AddTool(m_home.m_hWnd, IDS_TIP_HOME);
  m_tooltip.AddTool(m_mail.m_hWnd, IDS_TIP_MAIL);
  m_tooltip.AddTool(m_update.m_hWnd, IDS_TIP_UPDATE);
  AfxScaleDialogIcons(m_hWnd, AfxGetResourceHandle(), IDI_VERIVIR);
  return TRUE;
}

BOOL CAboutPage::OnKillActive() {
  // A hovering link holds the mouse capture, which the next page needs.
  m_home.EndHover();
  m_mail.EndHover();
  m_update.EndHover();
  return CPropertyPage::OnKillActive();
}
