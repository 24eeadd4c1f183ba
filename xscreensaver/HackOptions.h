#pragma once

#include <optional>
#include <string>

#include "settings/ClockSettings.h"

// Where the hack draws.
enum class HackTarget { OwnWindow, Root, WindowId };

struct HackOptions {
  // The full-screen saver's first-start settings with the options' choices over them.
  ClockSettings settings = SeededSettings(SettingsLoader::FullScreen);
  HackTarget target = HackTarget::OwnWindow;
  unsigned long window_id = 0;
  bool fps = false;
  bool help = false;
};

extern const char kHackUsage[];
extern const char kHackUsageHint[];

// A window id as XScreenSaver passes one: decimal or 0x hexadecimal, nonzero, nothing
// after the digits.
std::optional<unsigned long> ParseWindowId(const std::string& text);

// Parses the command line (without the program name). `xscreensaver_window` is the
// value of $XSCREENSAVER_WINDOW, null when unset; -window-id, then it, then -root, then
// a window of the hack's own pick the target. On a bad option returns nothing and says
// why in `error`, naming the option.
std::optional<HackOptions> ParseHackOptions(int argc, const char* const* argv,
                                            const char* xscreensaver_window, std::string& error);
