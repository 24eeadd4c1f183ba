#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "ui/Event.h"
#include "ui/Timer.h"

// The one-shot time-out of a socket component: a window timer that runs only while it
// is enabled, has an interval and has a handler. An exception from the handler reaches
// the application's handler, as any timer's does.
class TTimeoutTimer {
 public:
  using Handler = Event<TTimeoutTimer*>::Handler;

  TTimeoutTimer();
  TTimeoutTimer(const TTimeoutTimer&) = delete;
  TTimeoutTimer& operator=(const TTimeoutTimer&) = delete;

  // Each setter re-arms the timer when its value changes; "No Timer" when the platform
  // refuses one.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  UINT Interval() const { return interval_ms_; }
  void SetInterval(UINT interval_ms);
  void SetOnTimer(Handler handler);

  HWND Handle() const { return timer_.Handle(); }

 private:
  void Rearm();

  TTimer timer_{0, false};
  bool enabled_ = true;
  UINT interval_ms_ = 1000;
  Event<TTimeoutTimer*> on_timer_;
};
