#pragma once

#include <vector>

#include "settings/setup/MonitorLayout.h"

// The virtual screen: the rectangle around every monitor, in screen pixels.
ScreenRect VirtualScreenRect();

// Every monitor's rectangle.
std::vector<ScreenRect> DisplayMonitorRects();
