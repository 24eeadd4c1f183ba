#pragma once

#include <X11/Xlib.h>

#include <optional>

#include "base/RandomGenerator.h"
#include "scene/SceneState.h"
#include "scene/glx/GlxContext.h"
#include "settings/ClockSettings.h"
#include "xscreensaver/CaptionFace.h"
#include "xscreensaver/DrawingWindow.h"
#include "xscreensaver/FramePacer.h"
#include "xscreensaver/HackOptions.h"
#include "xscreensaver/StopSignals.h"
#include "xscreensaver/TestSeams.h"

// The full-screen saver's clock in an X window: set up as the saver window sets up its
// context, then a frame per frame interval (40 ms) until a stop signal, the window's end or, in its
// own window, q, Escape or the window manager's close.
class ClockHack {
 public:
  // Throws std::runtime_error when the window or its context cannot be had.
  ClockHack(Display* display, const HackOptions& options, const TestSeams& seams);

  // The exit status: 0 for a stop asked for, 1 after an X error.
  int Run();

 private:
  void PrepareSaverScene();
  void BuildCaptionFont();
  void DrawFrame();
  void FinishFrames();
  void StallAt(StallPoint point);
  void ServeEvents();
  void ServeEvent(const XEvent& event);
  void ServeKey(XKeyEvent key);
  void FollowSize(int width, int height);
  bool Running() const;

  Display* display_;
  HackOptions options_;
  TestSeams seams_;
  DrawingWindow window_;
  GlxContext gl_;
  SettingsState settings_;
  SceneState scene_;
  ClockSource clock_;
  RandomGenerator random_;
  FramePacer pacer_;
  FpsCounter fps_;
  // The size the camera was last laid out for.
  int drawn_width_ = 0;
  int drawn_height_ = 0;
  int frames_drawn_ = 0;
  std::optional<CaptionFace> caption_face_;
  // The character height of the caption font in the lists.
  int font_height_ = 0;
  bool quit_ = false;
};
