#include "ui/Timer.h"

namespace {
constexpr UINT_PTR kTimerId = 1;
}

TTimer::TTimer(UINT interval_ms, bool enabled)
    : window_(
          [this](UINT msg, WPARAM wparam, LPARAM, LRESULT&) { return HandleMessage(msg, wparam); }),
      interval_ms_(interval_ms),
      enabled_(enabled) {
  Update();
}

TTimer::~TTimer() {
  if (running_) {
    KillTimer(window_.Handle(), kTimerId);
  }
}

void TTimer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Update();
}

void TTimer::SetSuspended(bool suspended) {
  suspended_ = suspended;
  Update();
}

void TTimer::SetInterval(UINT interval_ms) {
  interval_ms_ = interval_ms;
  Update();
}

void TTimer::Update() {
  if (running_) {
    KillTimer(window_.Handle(), kTimerId);
    running_ = false;
  }
  // NOTE: KillTimer leaves a tick that is already queued; it must not fire for a timer
  // that was stopped (or re-armed) since.
  MSG msg;
  while (PeekMessageA(&msg, window_.Handle(), WM_TIMER, WM_TIMER, PM_REMOVE)) {
  }
  if (enabled_ && !suspended_ && interval_ms_ > 0) {
    running_ = SetTimer(window_.Handle(), kTimerId, interval_ms_, nullptr) != 0;
  }
}

bool TTimer::HandleMessage(UINT msg, WPARAM wparam) {
  if (msg != WM_TIMER || wparam != kTimerId) {
    return false;
  }
  // A tick posted after the stop (not by the platform's timer) is dropped too.
  if (running_) {
    OnTimer(this);
  }
  return true;
}
