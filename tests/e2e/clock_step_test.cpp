#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <vector>

#include "SaverProcess.h"
#include "tests/support/PolicyKeys.h"
#include "win32/WinHandles.h"

namespace {

// Runs the step as the elevated request would, and returns its exit code.
DWORD RunClockStep(const std::string& arguments) {
  const SaverProcess step(arguments, "", ClockStepPath());
  if (!step.Started()) {
    ADD_FAILURE() << "could not start " << ClockStepPath();
    return ERROR_GEN_FAILURE;
  }
  if (!step.WaitForExit(kAppearBound_ms)) {
    ADD_FAILURE() << "the step did not end";
    return ERROR_GEN_FAILURE;
  }
  return step.ExitCode();
}

std::string TimeArgument(const SYSTEMTIME& t) {
  char text[32];
  std::snprintf(text, sizeof(text), "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", t.wYear, t.wMonth,
                t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
  return text;
}

// The current UTC time, or the same time of day an hour later (at 23 h, an hour earlier).
SYSTEMTIME UtcNow(bool hour_off = false) {
  SYSTEMTIME t{};
  GetSystemTime(&t);
  if (hour_off) {
    t.wHour = static_cast<WORD>(t.wHour == 23 ? 22 : t.wHour + 1);
  }
  return t;
}

// The step as its own process, with the request the settings window would hand it. Each
// request but the first carries a time Wine would refuse to set or a reason to refuse it
// before the clock is asked; the exit code tells which check ended it.
TEST(ClockStep, SetsTheClockOnlyFromAFreshWellFormedRequest) {
  const ULONGLONG now_tick = GetTickCount64();
  ASSERT_GT(now_tick, 130000u) << "the machine must have run for two minutes";
  const std::string now = TimeArgument(UtcNow());
  const struct {
    const char* what;
    std::string arguments;
    DWORD exit_code;
  } cases[] = {
      // Within Wine's half second of the clock: set, and so no change at all.
      {"the current time, read now", now + " " + std::to_string(now_tick), 0},
      // NOTE: Wine refuses any change of more than half a second as not privileged.
      {"an hour off", TimeArgument(UtcNow(true)) + " " + std::to_string(now_tick),
       ERROR_PRIVILEGE_NOT_HELD},
      {"read more than two minutes ago", now + " " + std::to_string(now_tick - 120500),
       ERROR_TIMEOUT},
      {"read at a tick still to come", now + " " + std::to_string(now_tick + 60000),
       ERROR_INVALID_TIME},
      {"a time without its zone", now.substr(0, now.size() - 1) + " " + std::to_string(now_tick),
       ERROR_BAD_ARGUMENTS},
      {"a third argument", now + " " + std::to_string(now_tick) + " 1", ERROR_BAD_ARGUMENTS},
      {"no arguments", "", ERROR_BAD_ARGUMENTS},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(RunClockStep(c.arguments), c.exit_code);
  }
}

// The step runs elevated, perhaps under another account: the computer's policy alone can
// forbid it, and does so before the clock is asked.
TEST(ClockStep, RefusesWhenTheComputersPolicyForbidsSynchronisation) {
  const struct {
    const char* what;
    std::vector<PolicyEntry> policy;
    DWORD exit_code;
  } cases[] = {
      {"the computer forbids",
       {{HKEY_LOCAL_MACHINE, "ClockSync", REG_DWORD, 0}},
       ERROR_ACCESS_DISABLED_BY_POLICY},
      {"the user's policy is no guide here", {{HKEY_CURRENT_USER, "ClockSync", REG_DWORD, 0}}, 0},
      {"the computer allows", {{HKEY_LOCAL_MACHINE, "ClockSync", REG_DWORD, 1}}, 0},
      {"ClockSync as text is ignored", {{HKEY_LOCAL_MACHINE, "ClockSync", REG_SZ, 0, "0"}}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WritePolicies(c.policy);
    // Within Wine's half second of the clock: set, and so no change at all.
    const std::string request = TimeArgument(UtcNow()) + " " + std::to_string(GetTickCount64());
    EXPECT_EQ(RunClockStep(request), c.exit_code);
    ClearPolicies();
  }
}

}  // namespace
