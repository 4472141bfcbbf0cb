// Resource identifiers of Verivir.
#pragma once

#define IDS_SAVER_NAME 1  // Windows lists the screen saver by this string
#define IDS_CANNOT_CREATE 2
#define IDS_REGISTRY_KEY 3
#define IDS_SETTINGS_VERSION 4
// IDS_SHEET_CAPTION (5) belongs to the settings sheet.
#include "settings/settings_ids.h"
