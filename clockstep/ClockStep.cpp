#include "clockstep/ClockStep.h"

#include "clocksync/ClockRequest.h"

DWORD RunClockStep(int argc, const char* const* argv, uint64_t now_tick_ms,
                   const std::function<DWORD(const SYSTEMTIME& utc)>& set_clock,
                   bool forbidden_by_policy) {
  if (forbidden_by_policy) {
    return ERROR_ACCESS_DISABLED_BY_POLICY;
  }
  if (argc != 2 || argv[0] == nullptr || argv[1] == nullptr) {
    return ERROR_BAD_ARGUMENTS;
  }
  const ClockStepDecision decision = DecideClockStep(argv[0], argv[1], now_tick_ms);
  switch (decision.verdict) {
    case ClockRequestVerdict::Malformed:
      return ERROR_BAD_ARGUMENTS;
    case ClockRequestVerdict::Stale:
      return ERROR_TIMEOUT;
    case ClockRequestVerdict::FromTheFuture:
      return ERROR_INVALID_TIME;
    case ClockRequestVerdict::Accepted:
      break;
  }
  SYSTEMTIME utc{};
  utc.wYear = static_cast<WORD>(decision.utc.year);
  utc.wMonth = static_cast<WORD>(decision.utc.month);
  utc.wDay = static_cast<WORD>(decision.utc.day);
  utc.wHour = static_cast<WORD>(decision.utc.hour);
  utc.wMinute = static_cast<WORD>(decision.utc.minute);
  utc.wSecond = static_cast<WORD>(decision.utc.second);
  utc.wMilliseconds = static_cast<WORD>(decision.milliseconds);
  return set_clock(utc);
}
