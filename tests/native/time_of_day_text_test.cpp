#include <gtest/gtest.h>

#include <optional>

#include "base/TimeOfDayText.h"

// The one HH:MM:SS reader behind tessaryn-render's --time and the hack's pinned time.
TEST(TimeOfDayText, TakesExactlyTwoDigitsEachWithinTheDay) {
  const struct {
    const char* text;
    std::optional<TimeOfDay> expected;
  } rows[] = {
      {"00:00:00", TimeOfDay{0, 0, 0, 0}},
      {"23:59:59", TimeOfDay{23, 59, 59, 0}},
      {"10:08:37", TimeOfDay{10, 8, 37, 0}},
      {"24:00:00", std::nullopt},
      {"12:60:00", std::nullopt},
      {"12:00:60", std::nullopt},
      {"1:02:03", std::nullopt},
      {" 1:02:03", std::nullopt},
      {"10:08", std::nullopt},
      {"10:08:37 ", std::nullopt},
      {"10-08-37", std::nullopt},
      {"1a:08:37", std::nullopt},
      {"+1:08:37", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(ParseTimeOfDay(r.text), r.expected) << '"' << r.text << '"';
  }
}
