#pragma once

#include "ui/Event.h"
#include "ui/MessageWindow.h"

// The window timer component: while enabled, OnTimer runs every interval on the
// thread's message queue, so a tick never overlaps another handler.
class TTimer {
 public:
  explicit TTimer(UINT interval_ms = 1000, bool enabled = true);
  ~TTimer();

  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }
  // A suspended timer keeps Enabled as it was but does not tick: for a pause that the
  // timer's owners, who enable and disable it, need not know about.
  void SetSuspended(bool suspended);
  bool Suspended() const { return suspended_; }
  void SetInterval(UINT interval_ms);
  UINT Interval() const { return interval_ms_; }
  // Whether the platform's timer is set: false while disabled, or when it refused one.
  bool Running() const { return running_; }
  HWND Handle() const { return window_.Handle(); }

  Event<TTimer*> OnTimer;

 private:
  void Update();
  bool HandleMessage(UINT msg, WPARAM wparam);

  MessageWindow window_;
  UINT interval_ms_;
  bool enabled_;
  bool suspended_ = false;
  bool running_ = false;
};
