#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "clocksync/CalendarTime.h"
#include "clocksync/ClockRequest.h"
#include "clocksync/DaytimeReply.h"
#include "clocksync/DaytimeServer.h"
#include "clocksync/SyncStatus.h"

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

struct AcceptedReply {
  const char* what;
  std::string reply;
  UtcDateTime expected;
};

TEST(DaytimeReply, AGoodReplyAndEveryWellFormedVariantGiveTheirUtcDateAndTime) {
  const AcceptedReply cases[] = {
      {"the good reply", kGoodReply, {2026, 12, 7, 11, 45, 12}},
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

// Only the health digit makes the server a failed one; any other fault is the reply's.
TEST(DaytimeReply, OnlyAnUnhealthyServerCountsAsFailed) {
  const struct {
    const char* what;
    std::string reply;
    bool unhealthy;
  } cases[] = {
      {"healthy", kGoodReply, false},
      {"off by up to 5 s", With(31, '1'), true},
      {"off by more than 5 s", With(31, '2'), true},
      {"failure", With(31, '4'), true},
      {"no health digit", kGoodReply.substr(0, 29), false},
      {"leap second, healthy", With(29, '1'), false},
      {"hour 24, healthy", WithField(17, "24"), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DaytimeServerUnhealthy(c.reply), c.unhealthy) << c.what;
  }
}

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

TEST(DaytimeServerChoice, OverrideIsDottedAddressesWithOptionalPorts) {
  using Servers = std::vector<DaytimeServer>;
  const Servers national = {{"129.6.15.28", 13}, {"132.163.96.1", 13}};
  const struct {
    const char* value;
    std::optional<Servers> servers;
  } cases[] = {
      {nullptr, national},
      {"", national},
      {"127.0.0.1", Servers{{"127.0.0.1", 13}}},
      {"127.0.0.1:40013", Servers{{"127.0.0.1", 40013}}},
      {"127.0.0.1:40013,127.0.0.2", Servers{{"127.0.0.1", 40013}, {"127.0.0.2", 13}}},
      {"127.0.0.1:0", std::nullopt},
      {"127.0.0.1:65536", std::nullopt},
      {"127.0.0.256", std::nullopt},
      {"127.0.0", std::nullopt},
      {"127.0.0.1,", std::nullopt},
      {",127.0.0.1", std::nullopt},
      {"127.0.0.1,time.nist.gov", std::nullopt},
      {"time.nist.gov", std::nullopt},
      {"time.nist.gov:13", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseDaytimeServers(c.value), c.servers) << (c.value ? c.value : "(unset)");
  }
}

// Each step: the tick, what happens, and which server the next press asks and whether
// it may ask now.
TEST(DaytimeServerRotation, AnUnreachableServerHandsOverAndNoneIsAskedTwiceIn4s) {
  enum Action { kAsk, kFailed, kNothing };
  DaytimeServerRotation rotation({{"10.0.0.1", 13}, {"10.0.0.2", 13}});
  const struct {
    uint64_t now_ms;
    Action action;
    const char* next_host;
    bool may_ask_after;
  } steps[] = {
      {1000, kNothing, "10.0.0.1", true},  {1000, kAsk, "10.0.0.1", false},
      {4999, kNothing, "10.0.0.1", false}, {5000, kNothing, "10.0.0.1", true},  // exactly 4 s later
      {5000, kAsk, "10.0.0.1", false},     {5100, kFailed, "10.0.0.2", true},   // never asked yet
      {5100, kAsk, "10.0.0.2", false},     {5200, kFailed, "10.0.0.1", false},  // asked at 5000
      {9000, kNothing, "10.0.0.1", true},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.now_ms);
    if (step.action == kAsk) {
      ASSERT_TRUE(rotation.MayAsk(step.now_ms));
      rotation.Asked(step.now_ms);
    } else if (step.action == kFailed) {
      rotation.Failed();
    }
    EXPECT_EQ(rotation.Current().host, step.next_host);
    EXPECT_EQ(rotation.MayAsk(step.now_ms), step.may_ask_after);
  }
}

TEST(ClockRequest, ArgumentsCarryTheTimeToTheMillisecondAndTheTickAndReadBack) {
  const ClockRequest request{{2026, 2, 7, 9, 5, 3}, 42, 18446744073709551615ull};
  EXPECT_EQ(ClockRequestTimeArgument(request), "2026-02-07T09:05:03.042Z");
  EXPECT_EQ(ClockRequestTickArgument(request), "18446744073709551615");
  EXPECT_EQ(ParseClockRequest(ClockRequestTimeArgument(request), ClockRequestTickArgument(request)),
            request);
}

TEST(ClockRequest, AnythingButTheExactFormatIsMalformed) {
  const struct {
    const char* time;
    const char* tick;
  } cases[] = {
      {"2026-12-07T11:45:12.000Z", ""},
      {"2026-12-07T11:45:12.000Z", "-5"},
      {"2026-12-07T11:45:12.000Z", "5x"},
      {"2026-12-07T11:45:12.000Z", "18446744073709551616"},  // one past 64 bits
      {"2026-12-07T11:45:12.000", "5"},
      {"2026-12-07T11:45:12Z", "5"},
      {"2026-12-07 11:45:12.000Z", "5"},
      {"2026-12-07T11:45:12.000Z ", "5"},
      {"26-12-07T11:45:12.000Z", "5"},
      {"2026-13-07T11:45:12.000Z", "5"},
      {"2026-02-29T11:45:12.000Z", "5"},  // not a leap year
      {"2026-04-31T11:45:12.000Z", "5"},
      {"2026-12-07T24:00:00.000Z", "5"},
      {"2026-12-07T11:45:60.000Z", "5"},
      {"1600-12-07T11:45:12.000Z", "5"},
      {"2026-12-07T11:45:1x.000Z", "5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.time) + " / " + c.tick);
    EXPECT_EQ(ParseClockRequest(c.time, c.tick), std::nullopt);
    EXPECT_EQ(DecideClockStep(c.time, c.tick, 1000).verdict, ClockRequestVerdict::Malformed);
  }
  EXPECT_NE(ParseClockRequest("2028-02-29T23:59:59.999Z", "0"), std::nullopt);
}

TEST(ClockRequest, TheStepAddsTheTicksSinceTheReadingAndRefusesOldOrFutureRequests) {
  const struct {
    const char* what;
    const char* time;
    uint64_t now_tick_ms;
    ClockRequestVerdict verdict;
    UtcDateTime utc;
    int milliseconds;
  } cases[] = {
      {"at once",
       "2026-12-07T11:45:12.000Z",
       500000,
       ClockRequestVerdict::Accepted,
       {2026, 12, 7, 11, 45, 12},
       0},
      {"after a 9.75 s prompt",
       "2026-12-07T11:45:12.500Z",
       509750,
       ClockRequestVerdict::Accepted,
       {2026, 12, 7, 11, 45, 22},
       250},
      {"into the next year",
       "2026-12-31T23:59:59.900Z",
       500200,
       ClockRequestVerdict::Accepted,
       {2027, 1, 1, 0, 0, 0},
       100},
      {"two minutes exactly",
       "2026-12-07T11:45:12.000Z",
       620000,
       ClockRequestVerdict::Accepted,
       {2026, 12, 7, 11, 47, 12},
       0},
      {"older than two minutes",
       "2026-12-07T11:45:12.000Z",
       620001,
       ClockRequestVerdict::Stale,
       {},
       0},
      {"read at a tick still to come",
       "2026-12-07T11:45:12.000Z",
       499999,
       ClockRequestVerdict::FromTheFuture,
       {},
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ClockStepDecision decision = DecideClockStep(c.time, "500000", c.now_tick_ms);
    EXPECT_EQ(decision.verdict, c.verdict);
    if (c.verdict == ClockRequestVerdict::Accepted) {
      EXPECT_EQ(decision.utc, c.utc);
      EXPECT_EQ(decision.milliseconds, c.milliseconds);
    }
  }
}

}  // namespace
