#include <gtest/gtest.h>

#include <string>

#include "settings/sync/CalendarTime.h"
#include "settings/sync/DaytimeReply.h"
#include "settings/sync/DaytimeServer.h"
#include "settings/sync/SyncStatus.h"

namespace {

// A reply as the time services send it: 2026-12-07 11:45:12 UTC, no leap second, healthy.
const std::string kGoodReply = "\n61381 26-12-07 11:45:12 00 0 0 512.4 UTC(NIST) * \n";

// The good reply with one character replaced; positions counted from 1.
std::string With(size_t position, char c) {
  std::string reply = kGoodReply;
  reply[position - 1] = c;
  return reply;
}

// The good reply with a field of two characters replaced.
std::string WithField(size_t position, const char* two) {
  return With(position, two[0]).replace(position, 1, 1, two[1]);
}

TEST(DaytimeReply, GoodReplyGivesItsUtcDateAndTime) {
  EXPECT_EQ(ParseDaytimeReply(kGoodReply), (UtcDateTime{2026, 12, 7, 11, 45, 12}));
}

struct AcceptedReply {
  const char* what;
  std::string reply;
  UtcDateTime expected;
};

TEST(DaytimeReply, AcceptsEveryWellFormedVariant) {
  const AcceptedReply cases[] = {
      {"no health digit (29 characters)", kGoodReply.substr(0, 29), {2026, 12, 7, 11, 45, 12}},
      {"year 99 is 2099", WithField(8, "99"), {2099, 12, 7, 11, 45, 12}},
      {"year 00 is 2000", WithField(8, "00"), {2000, 12, 7, 11, 45, 12}},
      {"29 February of a leap year",
       WithField(8, "24").replace(10, 5, "02-29"),
       {2024, 2, 29, 11, 45, 12}},
      {"29 February 2000 (divisible by 400)",
       WithField(8, "00").replace(10, 5, "02-29"),
       {2000, 2, 29, 11, 45, 12}},
      {"last second of the year",
       WithField(11, "12").replace(13, 11, "31 23:59:59"),
       {2026, 12, 31, 23, 59, 59}},
      {"daylight-saving flag set", WithField(26, "50"), {2026, 12, 7, 11, 45, 12}},
  };
  for (const AcceptedReply& c : cases) {
    EXPECT_EQ(ParseDaytimeReply(c.reply), c.expected) << c.what << ": " << c.reply;
  }
}

struct RejectedReply {
  const char* what;
  std::string reply;
};

TEST(DaytimeReply, RejectsEveryFaultBeforeTheClockIsTouched) {
  const RejectedReply cases[] = {
      {"empty", ""},
      {"only the line feed", "\n"},
      {"28 characters", kGoodReply.substr(0, 28)},
      {"leap second to be inserted", With(29, '1')},
      {"leap second to be deleted", With(29, '2')},
      {"health: off by up to 5 s", With(31, '1')},
      {"health: failure", With(31, '4')},
      {"year not digits", WithField(8, "2x")},
      {"month not digits", WithField(11, " 1")},
      {"day not digits", WithField(14, "0a")},
      {"hour not digits", WithField(17, "+1")},
      {"minute not digits", WithField(20, "4.")},
      {"second not digits", WithField(23, "1\n")},
      {"month 00", WithField(11, "00")},
      {"month 13", WithField(11, "13")},
      {"day 00", WithField(14, "00")},
      {"day 32", WithField(14, "32")},
      {"31 November", WithField(11, "11").replace(13, 2, "31")},
      {"30 February", WithField(11, "02").replace(13, 2, "30")},
      {"29 February of a common year", WithField(8, "25").replace(10, 5, "02-29")},
      {"29 February 2099", WithField(8, "99").replace(10, 5, "02-29")},
      {"hour 24", WithField(17, "24")},
      {"minute 60", WithField(20, "60")},
      {"second 60", WithField(23, "60")},
      {"date separator missing", With(10, '/')},
      {"time separator missing", With(22, '.')},
      {"no leading line feed (every field one place early)", kGoodReply.substr(1)},
      {"another server's format", "Mon Dec  7 11:45:12 2026\r\n0 0 0 0 0 0 0 0 0 0 0 0 0"},
  };
  for (const RejectedReply& c : cases) {
    EXPECT_EQ(ParseDaytimeReply(c.reply), std::nullopt) << c.what << ": " << c.reply;
  }
}

TEST(DelayCorrection, IsHalfTheElapsedTimeInWholeSeconds) {
  const struct {
    int64_t elapsed_ms;
    int64_t correction_s;
  } cases[] = {{-5, 0},   {0, 0},    {400, 0},   {1999, 0},
               {2000, 1}, {5000, 2}, {10999, 5}, {130000, 65}};
  for (const auto& c : cases) {
    EXPECT_EQ(DelayCorrection_s(c.elapsed_ms), c.correction_s) << c.elapsed_ms << " ms";
  }
}

struct Carry {
  UtcDateTime from;
  int64_t seconds;
  UtcDateTime to;
};

TEST(CalendarTime, SecondsCarryThroughEveryField) {
  const Carry cases[] = {
      {{2026, 6, 10, 12, 0, 10}, 0, {2026, 6, 10, 12, 0, 10}},
      {{2026, 6, 10, 12, 0, 59}, 1, {2026, 6, 10, 12, 1, 0}},
      {{2026, 6, 10, 12, 59, 59}, 3, {2026, 6, 10, 13, 0, 2}},
      {{2026, 6, 10, 23, 59, 58}, 5, {2026, 6, 11, 0, 0, 3}},
      {{2026, 1, 31, 23, 59, 59}, 1, {2026, 2, 1, 0, 0, 0}},
      {{2026, 4, 30, 23, 59, 59}, 1, {2026, 5, 1, 0, 0, 0}},
      {{2025, 2, 28, 23, 59, 59}, 1, {2025, 3, 1, 0, 0, 0}},
      {{2024, 2, 28, 23, 59, 59}, 1, {2024, 2, 29, 0, 0, 0}},
      {{2024, 2, 29, 23, 59, 59}, 1, {2024, 3, 1, 0, 0, 0}},
      {{2026, 12, 31, 23, 59, 59}, 1, {2027, 1, 1, 0, 0, 0}},
      {{2099, 12, 31, 23, 59, 58}, 5, {2100, 1, 1, 0, 0, 3}},
      {{2026, 3, 1, 0, 0, 0}, 2 * 86400 + 61, {2026, 3, 3, 0, 1, 1}},
  };
  for (const Carry& c : cases) {
    EXPECT_EQ(AddSeconds(c.from, c.seconds), c.to)
        << c.from.year << "-" << c.from.month << "-" << c.from.day << " " << c.from.hour << ":"
        << c.from.minute << ":" << c.from.second << " + " << c.seconds;
  }
}

// Ticks of the settings window's timer until the notice closes, and what each showed.
TEST(SyncStatus, TextAtTheFirstTickAndTheNoticeClosesNineTicksLater) {
  for (const bool success : {true, false}) {
    SyncCountdownState state;
    (success ? state.SuccessCountdown : state.FailureCountdown) = 1;
    int shown_at = 0;
    int closed_at = 0;
    for (int tick = 1; tick <= 15; ++tick) {
      const SyncStatusStep step = AdvanceSyncStatus(state);
      EXPECT_EQ(step.show_success && step.show_failure, false);
      if (step.show_success || step.show_failure) {
        EXPECT_EQ(step.show_success, success);
        EXPECT_EQ(shown_at, 0) << "text shown twice";
        shown_at = tick;
      }
      if (step.close_notice) {
        EXPECT_EQ(closed_at, 0) << "closed twice";
        closed_at = tick;
      }
    }
    EXPECT_EQ(shown_at, 1);
    EXPECT_EQ(closed_at, 10);
    EXPECT_EQ(state.SuccessCountdown, 0);
    EXPECT_EQ(state.FailureCountdown, 0);
  }
}

TEST(DaytimeServerChoice, OverrideIsADottedAddressWithAnOptionalPort) {
  const struct {
    const char* value;
    std::optional<DaytimeServer> server;
  } cases[] = {
      {nullptr, DaytimeServer{kPublicDaytimeServer, 13}},
      {"", DaytimeServer{kPublicDaytimeServer, 13}},
      {"127.0.0.1", DaytimeServer{"127.0.0.1", 13}},
      {"127.0.0.1:40013", DaytimeServer{"127.0.0.1", 40013}},
      {"127.0.0.1:0", std::nullopt},
      {"127.0.0.1:65536", std::nullopt},
      {"127.0.0.256", std::nullopt},
      {"127.0.0", std::nullopt},
      {"time.nist.gov", std::nullopt},
      {"time.nist.gov:13", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseDaytimeServer(c.value), c.server) << (c.value ? c.value : "(unset)");
  }
}

}  // namespace
