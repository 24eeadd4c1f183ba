#include "base/TimeOfDayText.h"

#include <cstdint>

namespace {

std::optional<uint16_t> TwoDigits(std::string_view text, uint16_t high) {
  if (text[0] < '0' || text[0] > '9' || text[1] < '0' || text[1] > '9') {
    return std::nullopt;
  }
  const auto value = static_cast<uint16_t>((text[0] - '0') * 10 + (text[1] - '0'));
  if (value > high) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<TimeOfDay> ParseTimeOfDay(std::string_view text) {
  if (text.size() != 8 || text[2] != ':' || text[5] != ':') {
    return std::nullopt;
  }
  const auto h = TwoDigits(text.substr(0, 2), 23);
  const auto m = TwoDigits(text.substr(3, 2), 59);
  const auto s = TwoDigits(text.substr(6, 2), 59);
  if (!h || !m || !s) {
    return std::nullopt;
  }
  return TimeOfDay{*h, *m, *s, 0};
}
