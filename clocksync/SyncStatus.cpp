#include "clocksync/SyncStatus.h"

namespace {

constexpr int kLastTick = 10;

// Counts a running countdown on; true when it has just run out.
bool CountDown(int& countdown) {
  if (countdown <= 0) {
    return false;
  }
  if (++countdown > kLastTick) {
    countdown = 0;
    return true;
  }
  return false;
}

}  // namespace

SyncStatusStep AdvanceSyncStatus(SyncCountdownState& state) {
  SyncStatusStep step;
  step.show_success = state.SuccessCountdown == 1;
  step.close_notice = CountDown(state.SuccessCountdown);
  step.show_failure = state.FailureCountdown == 1;
  step.close_notice = CountDown(state.FailureCountdown) || step.close_notice;
  return step;
}
