#pragma once

#include <cstdint>

class TForm2;

// The two countdowns of the synchronisation's outcome, both 0 at rest.
struct SyncCountdowns {
  int32_t Success = 0;
  int32_t Failure = 0;
};

SyncCountdowns& Countdowns();

// The clock synchronisation of the settings window: what "Clock synchronization" runs,
// and the status step the window's timer takes after every frame. It reaches the
// window's timer (TForm2::Timer), its button (TForm2::Button2) and its Handle().
class ClockSync {
 public:
  explicit ClockSync(TForm2& form) : form_(form) {}
  ClockSync(const ClockSync&) = delete;
  ClockSync& operator=(const ClockSync&) = delete;

  // "Clock synchronization" was pressed.
  void Button2Click();
  // Run by the window's timer after each frame.
  void StatusStep();
  // At the window's creation.
  void ClearCountdowns() { Countdowns() = {}; }

 private:
  [[maybe_unused]] TForm2& form_;
};
