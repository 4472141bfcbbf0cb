#include "saver/settings_seam.h"

// The settings sheet is built separately; until it is in the tree the
// configuration mode shows nothing and changes nothing.
#if __has_include("settings/settings_sheet.h")
#include "settings/settings_sheet.h"

INT_PTR RunSettingsSheet() {
  CSettingsSheet sheet;
  INT_PTR result = sheet.DoModal();
  if (result == IDOK) sheet.StorePages();
  return result;
}
#else
INT_PTR RunSettingsSheet() { return IDCANCEL; }
#endif
