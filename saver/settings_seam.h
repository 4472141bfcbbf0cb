// Runs the settings sheet modally over settings; on OK its page values are
// already stored in them. Returns the sheet's result.
#pragma once
#include <windows.h>

#include "scene/scene_settings.h"

INT_PTR RunSettingsSheet(SceneSettings& settings);
