#pragma once

#include <functional>
#include <vector>

#include "windowsetup/MonitorLayout.h"

// Every monitor's rectangle, as the system lists them now.
std::vector<ScreenRect> SystemMonitorRects();

// The call the saver takes its monitors from: SystemMonitorRects, or a test's own that
// plugs a monitor in or out.
using MonitorListCall = std::function<std::vector<ScreenRect>()>;

// Every monitor's rectangle, as `list_monitors` gives them; never empty.
std::vector<ScreenRect> DisplayMonitorRects(const MonitorListCall& list_monitors);

// The virtual screen: the rectangle around every monitor, in screen pixels.
ScreenRect VirtualScreenRect(const MonitorListCall& list_monitors);
// The rectangle around `monitors`; empty for none.
ScreenRect RectAround(const std::vector<ScreenRect>& monitors);
