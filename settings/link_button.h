// An owner-drawn button that looks and acts like a hyperlink: underlined text
// in link colours, a hand cursor over the text, and a click that opens its target.
#pragma once
#include <string>

#include "framework/controls.h"

class CLinkButton : public CButton {
 public:
  explicit CLinkButton(UINT targetId);
  ~CLinkButton() override;

  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  void SetCursor(HCURSOR cursor) { _cursor = cursor; }
  // Ends the hovering; true when the button was hovering.
  bool EndHover();

  // What the button shows: its colours for each state, and the states.
  struct Colors {
    COLORREF normal, pressed, visited, hover, background;
  };
  Colors GetColors() const {
    return {_normalColor, _pressedColor, _visitedColor, _hoverColor, _backgroundColor};
  }
  const std::string& Target() const { return _target; }
  bool Visited() const { return _visited; }
  bool Hovering() const { return _hovering; }
  bool FocusShown() const { return _focusShown; }
  bool HighContrast() const { return _highContrast; }
  // The bold copy of the dialog font it draws with in high contrast.
  HFONT BoldFont() const { return _boldFont; }

  // The text's rectangle in client coordinates, as drawn and hit-tested.
  RECT TextRect();

 protected:
  void DrawItem(LPDRAWITEMSTRUCT dis) override;
  BOOL OnClicked() override;
  int OnCreate(LPCREATESTRUCTA cs) override;
  void OnDestroy() override;
  void OnMouseMove(UINT flags, POINT pt) override;
  void OnLButtonDown(UINT flags, POINT pt) override;
  void OnLButtonUp(UINT flags, POINT pt) override;
  void OnSysColorChange() override;
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  struct Layout {
    RECT rect;
    UINT align;
    POINT origin;
  };
  void ReadSystemColors();
  void CreateBoldFont();
  void RecreateBoldFont();
  // A length drawn in pixels at 96 dpi, at the scaling this button is shown at.
  int Px(int pixels);
  HFONT DrawingFont();
  Layout ComputeLayout(HDC dc);
  void DrawPlain(HDC dc, const Layout& layout, COLORREF color);
  void DrawDisabled(HDC dc, const Layout& layout);
  void RedrawIn(COLORREF color);

  std::string _target;
  COLORREF _normalColor;
  COLORREF _pressedColor;
  COLORREF _visitedColor;
  COLORREF _hoverColor;
  COLORREF _backgroundColor;
  BYTE _visited = 0;
  BYTE _pressToggle = 0;
  BYTE _focusShown = 0;
  BYTE _hovering = 0;
  BYTE _highContrast = 0;
  HCURSOR _cursor = nullptr;
  HFONT _boldFont = nullptr;
};
