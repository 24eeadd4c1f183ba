#include "clocksync/CalendarTime.h"

namespace {

constexpr int64_t kSecondsPerDay = 24 * 60 * 60;

void NextDay(UtcDateTime& t) {
  if (++t.day <= DaysInMonth(t.year, t.month)) {
    return;
  }
  t.day = 1;
  if (++t.month > 12) {
    t.month = 1;
    ++t.year;
  }
}

}  // namespace

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) {
    return 0;
  }
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

UtcDateTime AddSeconds(const UtcDateTime& t, int64_t seconds) {
  UtcDateTime result = t;
  int64_t of_day = ((t.hour * 60LL) + t.minute) * 60 + t.second + (seconds > 0 ? seconds : 0);
  for (; of_day >= kSecondsPerDay; of_day -= kSecondsPerDay) {
    NextDay(result);
  }
  result.hour = static_cast<int>(of_day / 3600);
  result.minute = static_cast<int>(of_day / 60 % 60);
  result.second = static_cast<int>(of_day % 60);
  return result;
}
