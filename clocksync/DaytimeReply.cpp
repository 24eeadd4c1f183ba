#include "clocksync/DaytimeReply.h"

#include "base/TimeOfDayText.h"

namespace {

// Positions counted from 1; position 1 is the reply's leading line feed.
constexpr size_t kYearAt = 8;
constexpr size_t kMonthAt = 11;
constexpr size_t kDayAt = 14;
// HH:MM:SS
constexpr size_t kTimeAt = 17;
constexpr size_t kTimeLength = 8;
constexpr size_t kLeapIndicatorAt = 29;
constexpr size_t kHealthAt = 31;

struct Separator {
  size_t at;
  char character;
};
// A reply in another layout must not be read as if its digits were in these places.
constexpr Separator kSeparators[] = {{10, '-'}, {13, '-'}, {19, ':'}, {22, ':'}};

char At(std::string_view reply, size_t position) {
  return reply[position - 1];
}

// The two decimal digits at a position, or nothing.
std::optional<int> TwoDigits(std::string_view reply, size_t position) {
  const char tens = At(reply, position);
  const char units = At(reply, position + 1);
  if (tens < '0' || tens > '9' || units < '0' || units > '9') {
    return std::nullopt;
  }
  return (tens - '0') * 10 + (units - '0');
}

bool InRange(const std::optional<int>& value, int low, int high) {
  return value && *value >= low && *value <= high;
}

bool ServerVouchesForIt(std::string_view reply) {
  if (At(reply, kLeapIndicatorAt) != '0') {
    return false;
  }
  return reply.size() < kHealthAt || At(reply, kHealthAt) == '0';
}

bool LaidOut(std::string_view reply) {
  for (const Separator& s : kSeparators) {
    if (At(reply, s.at) != s.character) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<UtcDateTime> ParseDaytimeReply(std::string_view reply) {
  if (reply.size() < kLeapIndicatorAt || !ServerVouchesForIt(reply) || !LaidOut(reply)) {
    return std::nullopt;
  }
  const std::optional<int> year = TwoDigits(reply, kYearAt);
  const std::optional<int> month = TwoDigits(reply, kMonthAt);
  const std::optional<int> day = TwoDigits(reply, kDayAt);
  const std::optional<TimeOfDay> time = ParseTimeOfDay(reply.substr(kTimeAt - 1, kTimeLength));
  if (!year || !InRange(month, 1, 12) || !time) {
    return std::nullopt;
  }
  const int full_year = 2000 + *year;
  if (!InRange(day, 1, DaysInMonth(full_year, *month))) {
    return std::nullopt;
  }
  return UtcDateTime{full_year, *month, *day, time->hour, time->minute, time->second};
}

bool DaytimeServerUnhealthy(std::string_view reply) {
  return reply.size() >= kHealthAt && At(reply, kHealthAt) != '0';
}

int64_t DelayCorrection_s(int64_t elapsed_ms) {
  return elapsed_ms > 0 ? elapsed_ms / 2 / 1000 : 0;
}

std::optional<UtcDateTime> ClockTimeFromReply(std::string_view reply, int64_t elapsed_ms) {
  const std::optional<UtcDateTime> received = ParseDaytimeReply(reply);
  if (!received) {
    return std::nullopt;
  }
  return AddSeconds(*received, DelayCorrection_s(elapsed_ms));
}
