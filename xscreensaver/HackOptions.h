#pragma once

#include <optional>
#include <string>

#include "settings/ClockSettings.h"

// Where the hack draws.
enum class HackTarget { OwnWindow, Root, WindowId };

// Which visual the hack's own window gets (-visual): the screen's default, the best
// one GLX offers, or one by its id.
enum class VisualPick { Best, Default, Id };

// -geometry's parts; a part not given keeps the window's default.
struct WindowGeometry {
  std::optional<int> x;
  std::optional<int> y;
  std::optional<unsigned> width;
  std::optional<unsigned> height;
  // X's "-X" and "-Y": measured from the screen's right and bottom edges.
  bool x_from_right = false;
  bool y_from_bottom = false;
};

struct HackOptions {
  // The full-screen saver's first-start settings with the options' choices over them.
  ClockSettings settings = SeededSettings(SettingsLoader::FullScreen);
  HackTarget target = HackTarget::OwnWindow;
  unsigned long window_id = 0;
  // The X display to open; empty for $DISPLAY.
  std::string display;
  VisualPick visual = VisualPick::Best;
  unsigned long visual_id = 0;
  WindowGeometry geometry;
  bool fps = false;
  bool help = false;
};

// The text -help prints; the settings' options come from their table.
std::string HackUsage();
extern const char kHackUsageHint[];

// A window id as XScreenSaver passes one: decimal or 0x hexadecimal, nonzero, nothing
// after the digits.
std::optional<unsigned long> ParseWindowId(const std::string& text);

// X's geometry string, WIDTHxHEIGHT+X+Y with either half optional and X or Y counted
// from the far edge after a minus sign; nothing for anything else or a zero size.
std::optional<WindowGeometry> ParseGeometry(const std::string& text);

// Parses the command line (without the program name). `xscreensaver_window` is the
// value of $XSCREENSAVER_WINDOW, null when unset. -window-id, then -window, pick the
// target; otherwise $XSCREENSAVER_WINDOW stands in for the root window (as XScreenSaver's
// hacks read it), then -root, then a window of the hack's own. On a bad option returns nothing and
// says why in `error`, naming the option.
std::optional<HackOptions> ParseHackOptions(int argc, const char* const* argv,
                                            const char* xscreensaver_window, std::string& error);
