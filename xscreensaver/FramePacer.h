#pragma once

#include <cstdint>
#include <string>

// When the next frame is due: one every interval, on a fixed grid from the first, so the
// frames do not drift. A frame that comes late is not made up for: the grid skips ahead
// to the next deadline after now instead of drawing a burst.
class FramePacer {
 public:
  FramePacer(int64_t start_ns, int64_t interval_ns)
      : next_ns_(start_ns), interval_ns_(interval_ns) {}

  // Whether a frame is due at `now_ns`; a due frame moves the deadline on.
  bool TakeFrame(int64_t now_ns);
  // Milliseconds to wait from `now_ns` until the next deadline, rounded up; 0 when due.
  int Wait_ms(int64_t now_ns) const;
  int64_t Next_ns() const { return next_ns_; }

 private:
  int64_t next_ns_;
  int64_t interval_ns_;
};

// The frames-per-second figure: frames counted over at least a second, the figure
// renewed once per second.
class FpsCounter {
 public:
  explicit FpsCounter(int64_t start_ns) : window_start_ns_(start_ns) {}

  void CountFrame(int64_t now_ns);
  double Figure() const { return figure_; }
  // As XScreenSaver's hacks show it: "FPS: 25.0".
  std::string Text() const;

 private:
  int64_t window_start_ns_;
  int frames_ = 0;
  double figure_ = 0.0;
};

// CLOCK_MONOTONIC now, in nanoseconds.
int64_t MonotonicNow_ns();
