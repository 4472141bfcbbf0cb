// Thin classes over the common controls used by the settings pages.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/wnd.h"

class CToolTipCtrl : public CWnd {
 public:
  BOOL Create(CWnd* parent, DWORD style = 0);
  void Activate(BOOL activate) { SendMessage(TTM_ACTIVATE, activate); }
  // A tool for a child window, its text taken from the string table.
  BOOL AddTool(HWND tool, UINT textId);
  BOOL AddTool(HWND tool, const char* text);
  void RelayEvent(MSG* msg) {
    if (m_hWnd) SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
  }

 private:
  HWND m_owner = nullptr;
};

class CButton : public CWnd {
 public:
  // Owner-drawn buttons draw here; WM_DRAWITEM is reflected from the parent.
  virtual void DrawItem(LPDRAWITEMSTRUCT dis);
  BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  // A BN_CLICKED reflected from the parent; TRUE keeps it from the parent.
  virtual BOOL OnClicked() { return FALSE; }
};

class CSliderCtrl : public CWnd {
 public:
  void SetRange(int low, int high, BOOL redraw = FALSE) {
    SendMessage(TBM_SETRANGE, redraw, MAKELPARAM(low, high));
  }
  int GetPos() { return static_cast<int>(SendMessage(TBM_GETPOS)); }
  void SetPos(int pos) { SendMessage(TBM_SETPOS, TRUE, pos); }
};

class CListCtrl : public CWnd {
 public:
  int InsertColumn(int col, const char* heading, int format, int width);
  // Inserts at the end (a sorted list places it by its text); returns the index or -1.
  int InsertItem(int item, const char* text);
  BOOL SetItemText(int item, int subItem, const char* text);
  std::string GetItemText(int item, int subItem);
  BOOL SetItemData(int item, DWORD_PTR data);
  DWORD_PTR GetItemData(int item);
  int GetItemCount() { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
  BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
  // compare gets the item data of two items and sortData.
  BOOL SortItems(PFNLVCOMPARE compare, DWORD_PTR sortData) {
    return static_cast<BOOL>(
        SendMessage(LVM_SORTITEMS, sortData, reinterpret_cast<LPARAM>(compare)));
  }
};
