#include "xscreensaver/FramePacer.h"

#include <cstdio>
#include <ctime>

namespace {

constexpr int64_t kNsPerMs = 1000000;
constexpr int64_t kNsPerSecond = 1000000000;

}  // namespace

bool FramePacer::TakeFrame(int64_t now_ns) {
  if (now_ns < next_ns_) {
    return false;
  }
  const int64_t missed = (now_ns - next_ns_) / interval_ns_;
  next_ns_ += (missed + 1) * interval_ns_;
  return true;
}

int FramePacer::Wait_ms(int64_t now_ns) const {
  if (now_ns >= next_ns_) {
    return 0;
  }
  return static_cast<int>((next_ns_ - now_ns + kNsPerMs - 1) / kNsPerMs);
}

void FpsCounter::CountFrame(int64_t now_ns) {
  ++frames_;
  const int64_t elapsed_ns = now_ns - window_start_ns_;
  if (elapsed_ns >= kNsPerSecond) {
    figure_ = static_cast<double>(frames_) * kNsPerSecond / static_cast<double>(elapsed_ns);
    frames_ = 0;
    window_start_ns_ = now_ns;
  }
}

std::string FpsCounter::Text() const {
  char text[32];
  std::snprintf(text, sizeof text, "FPS: %.1f", figure_);
  return text;
}

int64_t MonotonicNow_ns() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<int64_t>(t.tv_sec) * kNsPerSecond + t.tv_nsec;
}
