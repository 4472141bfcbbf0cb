#include "saver/settings_seam.h"

#include "settings/settings_sheet.h"

INT_PTR RunSettingsSheet(SceneSettings& settings) {
  CSettingsSheet sheet(settings);
  INT_PTR result = sheet.DoModal();
  if (result == IDOK) sheet.StorePages();
  return result;
}
