#include "xscreensaver/TestSeams.h"

#include <cstdlib>

#include "base/TimeOfDayText.h"

namespace {

std::optional<unsigned long> ParseCount(const char* text, unsigned long low, unsigned long high) {
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 10);
  if (end == text || *end != '\0' || *text == '-' || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<TestSeams> ParseTestSeams(const char* pinned_time, const char* seed,
                                        const char* frames, std::string& error, const char* stall) {
  TestSeams seams;
  if (pinned_time != nullptr && !(seams.pinned_time = ParseTimeOfDay(pinned_time))) {
    error = "TESSARYN_PINNED_TIME must be HH:MM:SS";
    return std::nullopt;
  }
  if (seed != nullptr) {
    const auto value = ParseCount(seed, 0, 0xFFFFFFFFul);
    if (!value) {
      error = "TESSARYN_SEED must be 0 to 4294967295";
      return std::nullopt;
    }
    seams.seed = static_cast<uint32_t>(*value);
  }
  if (frames != nullptr) {
    const auto value = ParseCount(frames, 1, 1000000);
    if (!value) {
      error = "TESSARYN_FRAMES must be 1 to 1000000";
      return std::nullopt;
    }
    seams.frames = static_cast<int>(*value);
  }
  if (stall != nullptr) {
    const std::string point = stall;
    if (point != "font" && point != "frame") {
      error = "TESSARYN_STALL must be font or frame";
      return std::nullopt;
    }
    seams.stall = point == "font" ? StallPoint::Font : StallPoint::Frame;
  }
  return seams;
}

std::optional<TestSeams> ReadTestSeams(std::string& error) {
  return ParseTestSeams(std::getenv("TESSARYN_PINNED_TIME"), std::getenv("TESSARYN_SEED"),
                        std::getenv("TESSARYN_FRAMES"), error, std::getenv("TESSARYN_STALL"));
}
