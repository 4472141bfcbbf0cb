// The "About Verivir" page: version, build time and three link buttons.
#pragma once
#include <string>

#include "framework/controls.h"
#include "framework/propsheet.h"
#include "settings/link_button.h"

class CAboutPage : public CPropertyPage {
 public:
  CAboutPage();
  ~CAboutPage() override;

  // The page's three links, by the string of their target.
  enum Link { kHome, kMail, kUpdate };
  CLinkButton& GetLink(Link link);

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnInitDialog() override;
  BOOL OnKillActive() override;

 private:
  std::string _build;
  CToolTipCtrl _tooltip;
  CLinkButton _home;
  CLinkButton _mail;
  CLinkButton _update;
};
