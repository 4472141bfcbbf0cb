// Runs the settings sheet modally; on OK its page values are already stored in
// the application's scene settings. Returns the sheet's result.
#pragma once
#include <windows.h>

INT_PTR RunSettingsSheet();
