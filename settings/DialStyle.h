#pragma once

#include <cstdint>

// What a dial style number shows. The one place that says so: the scene, its kept copies
// and the settings window all ask here.
enum class DialKind {
  // 0, or a number outside the styles, as a hand-edited key may hold: no dial.
  None,
  // Style 1: the ellipsoid, which moves on every frame.
  Moving,
  // Styles 2 to 10: sectors that stay as they are drawn.
  Still,
};

inline constexpr int32_t kMovingDialStyle = 1;
inline constexpr int32_t kLastDialStyle = 10;

constexpr DialKind DialKindOf(int32_t style) {
  if (style == kMovingDialStyle) {
    return DialKind::Moving;
  }
  if (style > kMovingDialStyle && style <= kLastDialStyle) {
    return DialKind::Still;
  }
  return DialKind::None;
}

constexpr bool ShowsDial(int32_t style) {
  return DialKindOf(style) != DialKind::None;
}
