// The "About OpenGL" page: vendor, renderer, version and the extensions.
#pragma once
#include <string>

#include "framework/controls.h"
#include "framework/propsheet.h"

class CGLPage : public CPropertyPage {
  DECLARE_DYNCREATE(CGLPage)
 public:
  CGLPage();
  ~CGLPage() override;

  CListCtrl _list;
  std::string _renderer;
  std::string _vendor;
  std::string _version;
  std::string _extensions;
  int _sortColumn = 0;
  int _ascending = 1;

  // Item records alive in every page of the process; the page frees its own on destruction.
  static int LiveRecords();
  // What a column-header click does.
  void SortBy(int column);

 protected:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void OnDestroy() override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;

 private:
  void QueryOpenGL();
  void FillList();
};
