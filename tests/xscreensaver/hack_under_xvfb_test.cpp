#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <optional>
#include <thread>

#include "tests/xscreensaver/XTestBed.h"
#include "tools/render/SceneRender.h"

namespace {

constexpr int kStart_ms = 30000;  // generous: the CI machine has 2 cores, often loaded
constexpr int kStop_ms = 10000;
constexpr char kFramesDone[] = "_TESSARYN_FRAMES_DONE";

std::string Hex(unsigned long id) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%lx", id);
  return text;
}

bool ExitedWithZero(std::optional<int> status) {
  return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

RenderOptions Reference(int width, int height, const char* time, uint32_t seed, int frames) {
  RenderOptions o;
  o.width = width;
  o.height = height;
  o.time =
      TimeOfDay{static_cast<uint16_t>(std::atoi(time)), static_cast<uint16_t>(std::atoi(time + 3)),
                static_cast<uint16_t>(std::atoi(time + 6)), 0};
  o.seed = seed;
  o.frames = frames;
  return o;
}

std::vector<std::string> Seams(const char* time, uint32_t seed, int frames) {
  return {std::string("TESSARYN_PINNED_TIME=") + time, "TESSARYN_SEED=" + std::to_string(seed),
          "TESSARYN_FRAMES=" + std::to_string(frames)};
}

struct DrawnRow {
  std::vector<std::string> args;
  RenderOptions expected;
  bool window_from_environment;
  int stop_signal;
};

// The hack drawing into a window the test made, as XScreenSaver hands one over, shows
// tessaryn-render's picture for the same time, seed, settings and size, and a stop
// signal ends it with status 0 and leaves no client behind.
TEST(HackDrawsLikeTessarynRender, InAGivenWindowForEachDialAndHands) {
  VirtualScreen screen;
  Display* x = screen.Connection();
  const Window window = MapTestWindow(x, 640, 480);
  XWindowAttributes before{};
  XGetWindowAttributes(x, window, &before);
  const int clients = ClientCount(x);
  auto row = [](std::vector<std::string> args, int dial, int dial_color, int hands, int hand_color,
                int sizes, int brightness, int frames, bool env, int signal) {
    RenderOptions o = Reference(640, 480, "10:08:37", 12345, frames);
    o.Setting(&ClockSettings::Color) = dial;
    o.Setting(&ClockSettings::Alpha) = dial_color;
    o.Setting(&ClockSettings::Arrows) = hands;
    o.Setting(&ClockSettings::Ar_Color) = hand_color;
    o.Setting(&ClockSettings::Sizes) = sizes;
    o.Setting(&ClockSettings::Brightness) = brightness;
    return DrawnRow{std::move(args), o, env, signal};
  };
  DrawnRow rows[] = {
      row({"-dial", "0", "-hands", "3", "-hand-color", "2"}, 0, 1, 3, 2, 10, 9, 1, false, SIGTERM),
      row({"-dial", "1", "-hands", "2", "-hand-color", "9", "-dial-color", "6"}, 1, 6, 2, 9, 10, 9,
          2, false, SIGTERM),
      row({"-dial", "5", "-dial-color", "4", "-sizes", "5"}, 5, 4, 1, 5, 5, 9, 1, true, SIGHUP),
      row({"-hands", "10", "-brightness", "10"}, 7, 1, 10, 5, 10, 10, 2, true, SIGTERM),
      row({"--dial", "8", "-hands", "7", "-sizes", "15", "-dial-color", "10"}, 8, 10, 7, 5, 15, 9,
          1, false, SIGINT),
      row({"-dial", "10", "-brightness", "0", "-hand-color", "10"}, 10, 1, 1, 10, 10, 0, 1, false,
          SIGTERM),
      // The random mode's picks replace hands, hand colour, dial and dial colour.
      row({"-random", "-dial", "3"}, 3, 1, 1, 5, 10, 9, 2, false, SIGTERM),
  };
  rows[6].expected.Setting(&ClockSettings::Rands) = 1;
  for (const DrawnRow& r : rows) {
    SCOPED_TRACE("dial " + std::to_string(*r.expected.Setting(&ClockSettings::Color)));
    std::vector<std::string> args = r.args;
    std::vector<std::string> env = Seams("10:08:37", 12345, r.expected.frames);
    if (r.window_from_environment) {
      // As the daemon starts a hack: -root, and its own window in the environment.
      args.push_back("-root");
      env.push_back("XSCREENSAVER_WINDOW=" + Hex(window));
    } else {
      args.insert(args.end(), {"-window-id", std::to_string(window)});
    }
    env.push_back("DISPLAY=" + screen.Name());
    XDeleteProperty(x, window, XInternAtom(x, kFramesDone, False));
    HackProcess hack(args, env);
    ASSERT_TRUE(WaitForProperty(x, window, kFramesDone, hack, kStart_ms)) << hack.Stderr();
    const Image drawn = ReadWindow(x, window);
    hack.Signal(r.stop_signal);
    EXPECT_TRUE(ExitedWithZero(hack.WaitForExit(kStop_ms))) << hack.Stderr();
    EXPECT_TRUE(WaitForClientCount(x, clients, kStop_ms));
    EXPECT_EQ(PictureDifference(drawn, RenderScene(r.expected, false).image), "");
  }
  // The window is XScreenSaver's: the hacks leave it as they found it.
  XWindowAttributes after{};
  XGetWindowAttributes(x, window, &after);
  EXPECT_EQ(after.visual, before.visual);
  EXPECT_EQ(after.colormap, before.colormap);
  EXPECT_EQ(after.all_event_masks, before.all_event_masks);
  EXPECT_EQ(after.width * 10000 + after.height, before.width * 10000 + before.height);
  EXPECT_EQ(after.map_state, before.map_state);
}

TEST(HackOnTheRootWindow, DrawsTheDefaultClockOverTheScreen) {
  VirtualScreen screen;
  Display* x = screen.Connection();
  const Window root = DefaultRootWindow(x);
  HackProcess hack({"-root"}, [&] {
    auto env = Seams("03:41:15", 7, 1);
    env.push_back("DISPLAY=" + screen.Name());
    return env;
  }());
  ASSERT_TRUE(WaitForProperty(x, root, kFramesDone, hack, kStart_ms)) << hack.Stderr();
  const Image drawn = ReadWindow(x, root);
  const Image expected = RenderScene(Reference(1024, 768, "03:41:15", 7, 1), false).image;
  EXPECT_EQ(PictureDifference(drawn, expected), "");
  // The hands meet at the centre, in hand colour 5: the picture is not a black one.
  const uint8_t* centre = drawn.At(512, 384);
  EXPECT_GT(centre[0] + centre[1] + centre[2], 0);
  hack.Signal(SIGTERM);
  EXPECT_TRUE(ExitedWithZero(hack.WaitForExit(kStop_ms))) << hack.Stderr();
}

Window FindWindowNamed(Display* x, const char* name, int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (std::chrono::steady_clock::now() < deadline) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count);
    Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
      char* title = nullptr;
      if (XFetchName(x, children[i], &title) && title != nullptr) {
        if (std::string(title) == name) found = children[i];
        XFree(title);
      }
    }
    if (children != nullptr) XFree(children);
    if (found != 0) return found;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return 0;
}

// How many of the pixels lit in `expected` are drawn otherwise in `drawn`: the clock's
// hands, marks and numerals, leaving out the black where the caption pulses.
int LitPixelsDrawnOtherwise(const Image& drawn, const Image& expected) {
  int differing = 0;
  for (int y = 0; y < expected.height; ++y) {
    for (int x = 0; x < expected.width; ++x) {
      const uint8_t* e = expected.At(x, y);
      differing += e[0] + e[1] + e[2] > 0 && std::memcmp(e, drawn.At(x, y), 3) != 0;
    }
  }
  return differing;
}

// Started by hand, the hack opens a window of its own: the clock with the frames per
// second at the bottom left, following the window's size, and closed by the window
// manager's close.
TEST(HackInItsOwnWindow, ShowsFpsFollowsItsSizeAndClosesOnDelete) {
  VirtualScreen screen;
  Display* x = screen.Connection();
  const int clients = ClientCount(x);
  HackProcess hack({"-fps", "-dial", "0"}, {"DISPLAY=" + screen.Name(),
                                            "TESSARYN_PINNED_TIME=04:40:20", "TESSARYN_SEED=3"});
  const Window window = FindWindowNamed(x, "Tessaryn", kStart_ms);
  ASSERT_NE(window, 0u) << hack.Stderr();

  // The first frames are the saver's own apart from the figure's corner.
  RenderOptions reference = Reference(800, 600, "04:40:20", 3, 1);
  reference.Setting(&ClockSettings::Color) = 0;
  const Image expected = RenderScene(reference, false).image;
  Image drawn;
  int outside = 0, inside = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStart_ms);
  while (inside == 0 && std::chrono::steady_clock::now() < deadline) {
    drawn = ReadWindow(x, window);
    outside = inside = 0;
    for (int py = 0; py < 600; ++py) {
      for (int px = 0; px < 800; ++px) {
        const bool corner = px < 300 && py > 500;
        const uint8_t* d = drawn.At(px, py);
        const bool yellow = d[0] == 255 && d[1] == 255 && d[2] == 0;
        if (corner)
          inside += yellow;
        else
          outside += std::memcmp(d, expected.At(px, py), 3) != 0;
      }
    }
  }
  EXPECT_GT(inside, 0) << "no FPS figure at the bottom left";
  // Frame 1 matches outside the corner; later frames differ by the caption's pulse.
  EXPECT_LT(outside, 800 * 600 / 100);

  // A square window: the true aspect the saver takes on a resize is then the set-up's.
  XResizeWindow(x, window, 400, 400);
  reference.width = reference.height = 400;
  const Image square = RenderScene(reference, false).image;
  int lit_otherwise = 0;
  const auto resized = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStart_ms);
  do {
    const Image small = ReadWindow(x, window);
    ASSERT_EQ(small.width, 400);
    lit_otherwise = LitPixelsDrawnOtherwise(small, square);
  } while (lit_otherwise != 0 && std::chrono::steady_clock::now() < resized);
  EXPECT_EQ(lit_otherwise, 0) << "the clock did not follow the window's size";

  XEvent close{};
  close.xclient.type = ClientMessage;
  close.xclient.window = window;
  close.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
  XSendEvent(x, window, False, NoEventMask, &close);
  XFlush(x);
  EXPECT_TRUE(ExitedWithZero(hack.WaitForExit(kStop_ms))) << hack.Stderr();
  EXPECT_TRUE(WaitForClientCount(x, clients, kStop_ms));
}

// The options every XScreenSaver hack takes, on the real binary: the display by name,
// the own window's geometry and visual, and an explicit -window over the daemon's.
TEST(HackStandardOptions, DisplayGeometryVisualAndWindowAsTyped) {
  VirtualScreen screen;
  Display* x = screen.Connection();
  const Window daemons = MapTestWindow(x, 320, 200);
  const VisualID default_visual = XVisualIDFromVisual(DefaultVisual(x, DefaultScreen(x)));
  const int clients = ClientCount(x);
  struct Row {
    std::vector<std::string> args;
    bool daemon_window_set;
    int x, y, width, height;
    bool default_visual;
  };
  const Row rows[] = {
      {{"-display", screen.Name(), "-no-fps"}, false, 0, 0, 800, 600, false},
      {{"-display", screen.Name(), "-window", "-geometry", "320x240+10+20"},
       true,
       10,
       20,
       320,
       240,
       false},
      {{"--display", screen.Name(), "-geometry", "200x100-0-0", "-visual", "default"},
       false,
       824,
       668,
       200,
       100,
       true},
      {{"-display", screen.Name(), "-visual", "best", "-fps", "-no-fps"},
       false,
       0,
       0,
       800,
       600,
       false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.args[r.args.size() - 1]);
    // No DISPLAY: the display comes from the option alone.
    std::vector<std::string> env = {"TESSARYN_PINNED_TIME=10:08:37", "TESSARYN_FRAMES=1"};
    if (r.daemon_window_set) env.push_back("XSCREENSAVER_WINDOW=" + Hex(daemons));
    HackProcess hack(r.args, env);
    const Window own = FindWindowNamed(x, "Tessaryn", kStart_ms);
    ASSERT_NE(own, 0u) << hack.Stderr();
    ASSERT_TRUE(WaitForProperty(x, own, kFramesDone, hack, kStart_ms)) << hack.Stderr();
    XWindowAttributes a{};
    XGetWindowAttributes(x, own, &a);
    EXPECT_EQ(std::to_string(a.x) + "," + std::to_string(a.y) + " " + std::to_string(a.width) +
                  "x" + std::to_string(a.height),
              std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) +
                  "x" + std::to_string(r.height));
    if (r.default_visual) {
      EXPECT_EQ(XVisualIDFromVisual(a.visual), default_visual);
    }
    hack.Signal(SIGTERM);
    EXPECT_TRUE(ExitedWithZero(hack.WaitForExit(kStop_ms))) << hack.Stderr();
    EXPECT_TRUE(WaitForClientCount(x, clients, kStop_ms));
    // An explicit -window wins: nothing was drawn into the daemon's window.
    EXPECT_FALSE(HasProperty(x, daemons, kFramesDone));
  }
}

// Whether the window shows anything but the black it was made with.
bool Drawn(const Image& image) {
  return std::any_of(image.rgb.begin(), image.rgb.end(), [](uint8_t v) { return v != 0; });
}

// Frames keep coming: something is drawn, and the caption's fade makes the next one differ.
bool WaitForSteadyDrawing(Display* x, Window window, HackProcess& hack) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStart_ms);
  Image first;
  while (hack.Running() && std::chrono::steady_clock::now() < deadline) {
    const Image now = ReadWindow(x, window);
    if (!Drawn(first)) {
      first = now;
    } else if (now.rgb != first.rgb) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

enum class StopWait { Not, Stalled, Drawing };
struct StopPoint {
  const char* point;
  const char* stall;
  StopWait wait;
  bool blocked_by_parent = false;  // started with SIGTERM in its blocked mask
};

// Starts the hack in a window of its own, waits for `p`, sends SIGTERM; how long it took
// to be gone, or nothing after a failure, which is reported.
std::optional<std::chrono::milliseconds> StopOnce(Display* x, const VirtualScreen& screen,
                                                  const StopPoint& p) {
  const Window window = MapTestWindow(x, 1920, 1080);
  std::vector<std::string> env{"DISPLAY=" + screen.Name()};
  if (p.stall != nullptr) env.push_back(std::string("TESSARYN_STALL=") + p.stall);
  sigset_t term, before;
  sigemptyset(&term);
  sigaddset(&term, SIGTERM);
  pthread_sigmask(p.blocked_by_parent ? SIG_BLOCK : SIG_UNBLOCK, &term, &before);
  HackProcess hack({"-window-id", std::to_string(window)}, env);
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  bool ready = true;
  if (p.wait == StopWait::Stalled) {
    ready = WaitForProperty(x, window, "_TESSARYN_STALLED", hack, kStart_ms);
  } else if (p.wait == StopWait::Drawing) {
    ready = WaitForSteadyDrawing(x, window, hack);
  }
  EXPECT_TRUE(ready) << hack.Stderr();
  std::optional<std::chrono::milliseconds> took;
  if (ready) {
    const auto sent = std::chrono::steady_clock::now();
    hack.Signal(SIGTERM);
    const auto status = hack.WaitForExit(kStop_ms);
    EXPECT_TRUE(status) << "still running " << kStop_ms << " ms after SIGTERM";
    if (status) {
      took = std::chrono::duration_cast<std::chrono::milliseconds>(
          std::chrono::steady_clock::now() - sent);
      // Before its handler is in place the default action ends it just as well.
      const bool by_default =
          p.wait == StopWait::Not && WIFSIGNALED(*status) && WTERMSIG(*status) == SIGTERM;
      EXPECT_TRUE(ExitedWithZero(status) || by_default) << hack.Stderr();
    }
  }
  XDestroyWindow(x, window);
  return took;
}

// XScreenSaver stops a hack with SIGTERM and expects it gone at once: at start-up, in
// the caption font's build (stalled endlessly, as no step there looks for a stop), in a
// first frame that never ends (as a slow shader compilation would), and while drawing.
// The hack must be gone within a second each time. A loaded machine can hold back any
// process's end by itself (a stalled first frame's 250 ms once took 1148 ms at load 6),
// so the second must hold in one of three tries: a hack that waits for anything longer
// than its watchdog misses it every time.
TEST(HackStop, GoneWithinASecondOfSigtermAtEveryPointOfItsLife) {
  const StopPoint points[] = {
      {"start-up", nullptr, StopWait::Not},
      {"font build", "font", StopWait::Stalled},
      {"first frame", "frame", StopWait::Stalled},
      {"steady drawing", nullptr, StopWait::Drawing},
      {"steady drawing, SIGTERM blocked by its parent", nullptr, StopWait::Drawing, true},
  };
  constexpr auto kBound = std::chrono::milliseconds(1000);
  constexpr int kTries = 3;
  VirtualScreen screen("1920x1080x24");
  Display* x = screen.Connection();
  for (const StopPoint& p : points) {
    SCOPED_TRACE(p.point);
    auto fastest = std::chrono::milliseconds::max();
    for (int attempt = 0; attempt < kTries && fastest > kBound; ++attempt) {
      const auto took = StopOnce(x, screen, p);
      if (!took) return;
      fastest = std::min(fastest, *took);
      std::printf("[ stop     ] %s: gone %lld ms after SIGTERM\n", p.point,
                  static_cast<long long>(took->count()));
    }
    EXPECT_LE(fastest, kBound) << "gone " << fastest.count() << " ms after SIGTERM at best, in "
                               << kTries << " tries";
  }
}

TEST(HackBadOptions, ExitWithStatusTwoAndNameTheOption) {
  struct Row {
    std::vector<std::string> args;
    std::vector<std::string> env;
    const char* named;
  };
  const Row rows[] = {
      {{"-hands", "11"}, {}, "tessaryn: -hands must be 1 to 10, got 11"},
      {{"-brightness"}, {}, "tessaryn: -brightness needs a value"},
      {{"-install"}, {}, "tessaryn: unknown option -install"},
      {{"-visual", "pseudocolor"}, {}, "tessaryn: -visual must be default, best or a visual id"},
      {{"-geometry", "800x"}, {}, "tessaryn: -geometry must be WIDTHxHEIGHT[+X+Y], got 800x"},
      {{}, {"XSCREENSAVER_WINDOW=junk"}, "XSCREENSAVER_WINDOW must be a window id"},
      {{}, {"TESSARYN_FRAMES=0"}, "TESSARYN_FRAMES"},
      {{}, {"TESSARYN_STALL=draw"}, "TESSARYN_STALL"},
  };
  for (const Row& r : rows) {
    HackProcess hack(r.args, r.env);
    const auto status = hack.WaitForExit(kStop_ms);
    ASSERT_TRUE(status) << r.named;
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 2) << r.named;
    const std::string err = hack.Stderr();
    EXPECT_NE(err.find(r.named), std::string::npos) << err;
    EXPECT_NE(err.find("tessaryn -help"), std::string::npos) << err;
  }
}

}  // namespace
