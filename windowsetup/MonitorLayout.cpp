#include "windowsetup/MonitorLayout.h"

#include <algorithm>

std::vector<Viewport> MonitorViewports(const ScreenRect& window,
                                       const std::vector<ScreenRect>& monitors) {
  std::vector<Viewport> viewports;
  for (const ScreenRect& m : monitors) {
    const int left = std::max(m.left, window.left);
    const int top = std::max(m.top, window.top);
    const int right = std::min(m.right, window.right);
    const int bottom = std::min(m.bottom, window.bottom);
    if (right <= left || bottom <= top) {
      continue;
    }
    viewports.push_back({left - window.left, window.bottom - bottom, right - left, bottom - top});
  }
  return viewports;
}
