#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "scene/osmesa/OffscreenContext.h"

// A virtual X server of the test's own: Xvfb on a display number it picks itself
// (-displayfd), 1024 x 768 x 24 unless told, stopped when this goes. The test's connection to it
// comes with it.
class VirtualScreen {
 public:
  explicit VirtualScreen(const char* size = "1024x768x24");
  ~VirtualScreen();
  VirtualScreen(const VirtualScreen&) = delete;
  VirtualScreen& operator=(const VirtualScreen&) = delete;

  const std::string& Name() const { return name_; }
  Display* Connection() const { return display_; }

 private:
  pid_t server_ = -1;
  std::string name_;
  Display* display_ = nullptr;
};

// The real tessaryn binary, started with the given arguments and environment entries
// (NAME=VALUE, over a copy of the test's environment without DISPLAY, XSCREENSAVER_WINDOW
// and the TESSARYN_ seams). Killed and reaped if the test leaves it running.
class HackProcess {
 public:
  HackProcess(const std::vector<std::string>& args, const std::vector<std::string>& env);
  ~HackProcess();
  HackProcess(const HackProcess&) = delete;
  HackProcess& operator=(const HackProcess&) = delete;

  void Signal(int signal) const;
  bool Running();
  // The wait status once the process has ended within `timeout_ms`.
  std::optional<int> WaitForExit(int timeout_ms);
  // What it wrote to stderr; complete once it has ended.
  std::string Stderr();

 private:
  pid_t pid_ = -1;
  int stderr_fd_ = -1;
  std::optional<int> status_;
  std::string stderr_text_;
};

// A mapped InputOutput window of the default visual, as XScreenSaver would hand over.
Window MapTestWindow(Display* display, int width, int height);

bool HasProperty(Display* display, Window window, const char* property);

// Waits for `property` on `window` while `hack` runs; false when it ends first or
// `timeout_ms` passes.
bool WaitForProperty(Display* display, Window window, const char* property, HackProcess& hack,
                     int timeout_ms);

// The window's pixels as RGB, top row first.
Image ReadWindow(Display* display, Window window);

// How many clients the server has (XRes).
int ClientCount(Display* display);

// Waits until ClientCount is `count`; false after `timeout_ms`.
bool WaitForClientCount(Display* display, int count, int timeout_ms);

// Describes how two pictures differ, empty when they are the same.
std::string PictureDifference(const Image& got, const Image& expected);
