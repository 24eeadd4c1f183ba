#include "xscreensaver/ClockHack.h"

#include <GL/gl.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <unistd.h>

#include <stdexcept>

#include "base/ClockSource.h"
#include "scene/Caption.h"
#include "scene/FrameInputs.h"
#include "scene/FrameInterval.h"
#include "scene/Lighting.h"
#include "scene/SceneFrames.h"
#include "windowsetup/WindowSetup.h"
#include "xscreensaver/FpsText.h"
#include "xscreensaver/FreeTypeFontLists.h"
#include "xscreensaver/XErrors.h"

namespace {

constexpr int64_t kFrameInterval_ns = kFrameInterval_ms * 1000000LL;
// With its frames all drawn the hack still serves its window at the same pace.
constexpr int kFrozenWait_ms = kFrameInterval_ms;

}  // namespace

ClockHack::ClockHack(Display* display, const HackOptions& options, const TestSeams& seams)
    : display_(display),
      options_(options),
      seams_(seams),
      window_(display, options),
      clock_(seams.pinned_time ? PinnedClockSource(*seams.pinned_time) : SystemClockSource()),
      random_(clock_, seams.seed),
      pacer_(MonotonicNow_ns(), kFrameInterval_ns),
      fps_(MonotonicNow_ns()),
      caption_face_(FindCaptionFace()) {
  if (const SetupFailure failure = gl_.Setup(display, window_.Id(), window_.Visual().config,
                                             window_.Visual().double_buffered)) {
    throw std::runtime_error(*failure);
  }
  PrepareSaverScene();
}

void ClockHack::BuildCaptionFont() {
  StallAt(StallPoint::Font);
  SceneGl& objects = gl_.Objects();
  if (objects.FontListBase != 0) {
    glDeleteLists(objects.FontListBase, kFontCharCount);
    objects.FontListBase = 0;
  }
  font_height_ = CaptionFontCharHeight(drawn_width_);
  if (caption_face_) {
    objects.FontListBase = BuildFreeTypeFontLists(*caption_face_, font_height_);
  }
}

void ClockHack::PrepareSaverScene() {
  drawn_width_ = window_.Width();
  drawn_height_ = window_.Height();
  settings_.clock = options_.settings;
  SetupSaverScene(settings_, scene_, random_, drawn_width_, drawn_height_, [this] {
    BuildCaptionFont();
    return SetupFailure();
  });
}

bool ClockHack::Running() const {
  return !quit_ && !StopRequested() && !XErrorSeen();
}

int ClockHack::Run() {
  ServeStopsInLoop();
  while (Running()) {
    ServeEvents();
    const bool frames_left = !seams_.frames || frames_drawn_ < *seams_.frames;
    if (Running() && frames_left && pacer_.TakeFrame(MonotonicNow_ns())) {
      DrawFrame();
    }
    if (Running() && XPending(display_) == 0) {
      pollfd connection{ConnectionNumber(display_), POLLIN, 0};
      poll(&connection, 1, frames_left ? pacer_.Wait_ms(MonotonicNow_ns()) : kFrozenWait_ms);
    }
  }
  return XErrorSeen() ? 1 : 0;
}

void ClockHack::DrawFrame() {
  if (frames_drawn_ == 0) {
    StallAt(StallPoint::Frame);
  }
  FollowSize(window_.Width(), window_.Height());
  const TimeOfDay now = clock_.LocalNow();
  const WindowScene scene{scene_, gl_.Objects(), random_};
  DrawSaverScene(ReadFrameInputs(settings_, scene_.LightLevel, now), scene, drawn_width_,
                 drawn_height_);
  if (options_.fps) {
    fps_.CountFrame(MonotonicNow_ns());
    DrawFpsText(gl_.Objects().FontListBase, fps_.Text(), drawn_width_, drawn_height_);
  }
  gl_.Present();
  if (seams_.frames && ++frames_drawn_ == *seams_.frames) {
    FinishFrames();
  }
}

void ClockHack::FollowSize(int width, int height) {
  if (width <= 0 || height <= 0 || (width == drawn_width_ && height == drawn_height_)) {
    return;
  }
  // As the saver's window does when its size changes: the true aspect from now on.
  ResizeFullScreen(width, height);
  drawn_width_ = width;
  drawn_height_ = height;
  // The Windows saver makes its font for the width its window has; a new width gets a
  // font of its own.
  if (CaptionFontCharHeight(width) != font_height_) {
    BuildCaptionFont();
  }
}

void ClockHack::FinishFrames() {
  glFinish();
  // Test-only: tells a test waiting on the window that the last frame is in it.
  const Atom done = XInternAtom(display_, "_TESSARYN_FRAMES_DONE", False);
  const long frames = frames_drawn_;
  XChangeProperty(display_, window_.Id(), done, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&frames), 1);
  XFlush(display_);
}

void ClockHack::StallAt(StallPoint point) {
  if (seams_.stall != point) {
    return;
  }
  // Test-only: the stall is announced on the window, then only a signal ends it.
  const Atom stalled = XInternAtom(display_, "_TESSARYN_STALLED", False);
  const long at = static_cast<long>(point);
  XChangeProperty(display_, window_.Id(), stalled, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&at), 1);
  XFlush(display_);
  for (;;) {
    sleep(1);
  }
}

void ClockHack::ServeEvents() {
  while (XPending(display_) > 0) {
    XEvent event{};
    XNextEvent(display_, &event);
    ServeEvent(event);
  }
}

void ClockHack::ServeEvent(const XEvent& event) {
  switch (event.type) {
    case ConfigureNotify:
      if (event.xconfigure.window == window_.Id()) {
        window_.TakeSize(event.xconfigure.width, event.xconfigure.height);
      }
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == window_.Id()) {
        gl_.WindowGone();
        quit_ = true;
      }
      break;
    case ClientMessage:
      if (window_.Own() && static_cast<Atom>(event.xclient.data.l[0]) == window_.DeleteAtom()) {
        quit_ = true;
      }
      break;
    case KeyPress:
      ServeKey(event.xkey);
      break;
    default:
      break;
  }
}

void ClockHack::ServeKey(XKeyEvent key) {
  KeySym sym = NoSymbol;
  char text[8] = {};
  XLookupString(&key, text, sizeof text, &sym, nullptr);
  if (sym == XK_Escape || sym == XK_q || sym == XK_Q) {
    quit_ = true;
  }
}
