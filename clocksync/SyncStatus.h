#pragma once

// The synchronisation's outcome, shown by the settings window's timer: each countdown is
// 0 at rest; a request sets one of them to 1, the text shows at that tick and the notice
// closes nine ticks later.
struct SyncCountdownState {
  int SuccessCountdown = 0;
  int FailureCountdown = 0;
};

// What one status step asks the notice to do.
struct SyncStatusStep {
  bool show_success = false;
  bool show_failure = false;
  bool close_notice = false;
};

// One tick of the settings window's timer, after its frame.
SyncStatusStep AdvanceSyncStatus(SyncCountdownState& state);
