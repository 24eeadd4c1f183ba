#pragma once

#include <functional>
#include <vector>

#include "windowsetup/MonitorLayout.h"

// Every monitor's rectangle, as the system lists them now.
std::vector<ScreenRect> SystemMonitorRects();

// The call the saver takes its monitors from: SystemMonitorRects, unless a test has put
// its own in place to plug a monitor in or out.
using MonitorListCall = std::function<std::vector<ScreenRect>()>;
MonitorListCall& MonitorLister();

// Every monitor's rectangle, through MonitorLister; never empty.
std::vector<ScreenRect> DisplayMonitorRects();

// The virtual screen: the rectangle around every monitor, in screen pixels.
ScreenRect VirtualScreenRect();
// The rectangle around `monitors`; empty for none.
ScreenRect RectAround(const std::vector<ScreenRect>& monitors);
