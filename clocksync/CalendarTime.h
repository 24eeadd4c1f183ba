#pragma once

#include <cstdint>

// A calendar date and time of day in UTC, to the second.
struct UtcDateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;

  bool operator==(const UtcDateTime&) const = default;
};

bool IsLeapYear(int year);
// 0 for a month outside 1 to 12.
int DaysInMonth(int year, int month);

// The time a number of seconds (0 or more) later, carried through the minutes, hours,
// days, months and years.
UtcDateTime AddSeconds(const UtcDateTime& t, int64_t seconds);
