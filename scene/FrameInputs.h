#pragma once

#include <array>
#include <cstdint>

#include "base/ClockSource.h"
#include "settings/ClockSettings.h"

// Everything one frame is drawn from, read once at the window's edge and passed down.
// Two equal values draw the same still picture, so a kept copy is labelled with one.
struct FrameInputs {
  // The whole second: the hands and marks follow nothing finer.
  TimeOfDay time;
  ClockSettings settings;
  RGB HandRGB;
  RGB DialRGB;
  // The level both lights are set from while the frame is drawn.
  int32_t LightLevel = 0;
  std::array<int, 4> viewport{};
  std::array<float, 16> projection{};

  bool operator==(const FrameInputs&) const = default;
};

// The inputs of a frame drawn now: the given settings, colours, light level and clock
// reading, with the viewport and projection matrix of the current context.
FrameInputs ReadFrameInputs(const SettingsState& settings, int32_t light_level,
                            const TimeOfDay& now);
