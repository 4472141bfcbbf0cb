// The monitors as the system reports them, laid out for the full-screen window.
#pragma once
#include <vector>

#include "glx/monitor_layout.h"

// Every monitor's rectangle, in virtual-screen coordinates.
std::vector<glx::screen_rect> MonitorRects();
// The window over the whole virtual screen and one viewport per monitor.
glx::monitor_layout ScreenLayout();
