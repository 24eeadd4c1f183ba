#include "saver/Monitors.h"

#include <algorithm>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

ScreenRect ToScreenRect(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
  reinterpret_cast<std::vector<ScreenRect>*>(list)->push_back(ToScreenRect(*rect));
  return TRUE;
}

}  // namespace

std::vector<ScreenRect> SystemMonitorRects() {
  std::vector<ScreenRect> monitors;
  if (!EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors))) {
    monitors.clear();
  }
  return monitors;
}

std::vector<ScreenRect> DisplayMonitorRects(const MonitorListCall& list_monitors) {
  std::vector<ScreenRect> monitors = list_monitors();
  if (monitors.empty()) {
    // Without a monitor list the primary screen is all there is to cover.
    return {{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}};
  }
  return monitors;
}

ScreenRect VirtualScreenRect(const MonitorListCall& list_monitors) {
  return RectAround(DisplayMonitorRects(list_monitors));
}

// The system's virtual screen is this same rectangle; taken from the list, it follows
// the list a test puts in place.
ScreenRect RectAround(const std::vector<ScreenRect>& monitors) {
  if (monitors.empty()) {
    return {};
  }
  ScreenRect around = monitors.front();
  for (const ScreenRect& m : monitors) {
    around = {std::min(around.left, m.left), std::min(around.top, m.top),
              std::max(around.right, m.right), std::max(around.bottom, m.bottom)};
  }
  return around;
}
