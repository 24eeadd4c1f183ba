#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/ClockSource.h"

// Test-only: values a test fixes through the environment so that it can compare a
// frame with tessaryn-render's. Read once at start; a user never sets them.
//   TESSARYN_PINNED_TIME=HH:MM:SS  the clock shows this time
//   TESSARYN_SEED=N                 the random generator's seed
//   TESSARYN_FRAMES=N               N frames are drawn, then the window keeps the last
//                                   one and carries the property _TESSARYN_FRAMES_DONE
//   TESSARYN_STALL=font|frame       the caption font's build, or the first frame, puts
//                                   the property _TESSARYN_STALLED on the window and
//                                   then never ends, as a slow one would look to a stop
enum class StallPoint { Nowhere, Font, Frame };

struct TestSeams {
  std::optional<TimeOfDay> pinned_time;
  std::optional<uint32_t> seed;
  std::optional<int> frames;
  StallPoint stall = StallPoint::Nowhere;
};

// Null values stand for unset variables. On a malformed value returns nothing and says
// which variable in `error`.
std::optional<TestSeams> ParseTestSeams(const char* pinned_time, const char* seed,
                                        const char* frames, std::string& error,
                                        const char* stall = nullptr);

std::optional<TestSeams> ReadTestSeams(std::string& error);
