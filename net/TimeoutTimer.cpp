#include "net/TimeoutTimer.h"

#include <stdexcept>

#include "net/NetConst.h"

TTimeoutTimer::TTimeoutTimer() {
  timer_.OnTimer.Bind([this](TTimer*) { on_timer_(this); });
}

void TTimeoutTimer::SetEnabled(bool enabled) {
  if (enabled != enabled_) {
    enabled_ = enabled;
    Rearm();
  }
}

void TTimeoutTimer::SetInterval(UINT interval_ms) {
  if (interval_ms != interval_ms_) {
    interval_ms_ = interval_ms;
    Rearm();
  }
}

void TTimeoutTimer::SetOnTimer(Handler handler) {
  on_timer_.Bind(std::move(handler));
  Rearm();
}

void TTimeoutTimer::Rearm() {
  timer_.SetEnabled(false);
  if (interval_ms_ != 0 && enabled_ && on_timer_) {
    timer_.SetInterval(interval_ms_);
    timer_.SetEnabled(true);
    if (!timer_.Running()) {
      throw std::runtime_error(net::kNoTimer);
    }
  }
}
