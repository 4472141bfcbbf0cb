// The "About OpenGL" page: vendor, renderer, version and the extensions.
#pragma once
#include <string>
#include <vector>

#include "framework/controls.h"
#include "framework/propsheet.h"
#include "settings/gl_extensions.h"

class CGLPage : public CPropertyPage {
  DECLARE_DYNCREATE(CGLPage)
 public:
  CGLPage();
  ~CGLPage() override;

  // What a column-header click does.
  void SortBy(int column);
  // The driver's extension string the list was made from.
  const std::string& Extensions() const { return _extensions; }

 protected:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;

 private:
  void QueryOpenGL();
  void FillList();

  CListCtrl _list;
  std::string _renderer;
  std::string _vendor;
  std::string _version;
  std::string _extensions;
  int _sortColumn = 0;
  int _ascending = 1;

  // What the list's items point to, kept as long as the page.
  std::vector<gl_extensions::Record> _records;
};
