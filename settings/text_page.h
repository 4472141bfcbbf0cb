// The "Text" page: the ring of text around the big sphere.
#pragma once
#include <string>

#include "framework/controls.h"
#include "framework/propsheet.h"

class CTextPage : public CPropertyPage {
  DECLARE_DYNCREATE(CTextPage)
 public:
  CTextPage();
  ~CTextPage() override;

  CSliderCtrl _slider;
  std::string _text;
  int _quality = -1;
  int _size = -1;
  int _showText = 0;
  int _textColor = 0;
  std::string _font;
  int _speed = 0;  // set by the sheet before the page is shown

 protected:
  BOOL OnCmdMsg(UINT id, int code) override;
  void OnHScroll(UINT code, UINT pos, HWND scrollBar) override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  void OnOK() override;

 private:
  void OnModified();
  void OnFont();
  void EnableTextControls(BOOL enable);
  CToolTipCtrl _tooltip;
  // Filling the controls from the values changes the edit box; that is no edit.
  bool _filling = false;
};
