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

  CListCtrl m_list;
  std::string m_renderer;
  std::string m_vendor;
  std::string m_version;
  std::string m_extensions;
  int m_sortColumn = 0;
  int m_ascending = 1;

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
