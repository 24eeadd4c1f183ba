#include "xscreensaver/HackOptions.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <X11/Xutil.h>

#include "settings/SettingsTable.h"

std::string HackUsage() {
  std::vector<std::string> items = {"[-display NAME]", "[-window | -root | -window-id ID]",
                                    "[-geometry GEOM]", "[-visual default|best|ID]",
                                    "[-fps | -no-fps]"};
  for (std::string& setting : SettingOptionUsages(false)) {
    items.push_back(std::move(setting));
  }
  items.push_back("[-help]");
  return UsageLines("tessaryn", items) +
         "Draws the analog clock into its own window (-window, placed by -geometry), the root\n"
         "window (-root), the window XScreenSaver names in $XSCREENSAVER_WINDOW, or the window\n"
         "ID (decimal or 0x hex). -fps shows the frames per second. Options may also be\n"
         "spelled with two dashes.\n";
}

const char kHackUsageHint[] = "Try 'tessaryn -help' for the options.\n";

namespace {

std::optional<int32_t> ParseInRange(const char* text, int32_t low, int32_t high) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || errno != 0 || value < low || value > high) {
    return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

// XScreenSaver's hacks take one dash; the GNU spelling with two is accepted too.
std::string OptionName(const char* arg) {
  if (std::strncmp(arg, "--", 2) == 0 && arg[2] != '\0') {
    return arg + 1;
  }
  return arg;
}

struct Parser {
  Parser(int argc, const char* const* argv, std::string& error)
      : argc(argc), argv(argv), error(error) {}

  int argc;
  const char* const* argv;
  int i = 0;
  std::string& error;
  HackOptions options;
  // The last of -window and -root given.
  std::optional<HackTarget> asked;
  std::optional<unsigned long> window_id;

  const char* Value(const std::string& name) {
    if (i + 1 >= argc) {
      error = name + " needs a value";
      return nullptr;
    }
    return argv[++i];
  }

  bool Setting(const SettingRow& o) {
    const char* text = Value(o.option);
    if (text == nullptr) {
      return false;
    }
    const auto value = ParseInRange(text, o.low, o.high);
    if (!value) {
      error = std::string(o.option) + " must be " + std::to_string(o.low) + " to " +
              std::to_string(o.high) + ", got " + text;
      return false;
    }
    options.settings.*o.field = *value;
    return true;
  }

  bool WindowId(const std::string& name) {
    const char* text = Value(name);
    if (text == nullptr) {
      return false;
    }
    window_id = ParseWindowId(text);
    if (!window_id) {
      error = name + " must be a window id (decimal or 0x hex), got " + text;
      return false;
    }
    return true;
  }

  bool Visual(const std::string& name) {
    const char* text = Value(name);
    if (text == nullptr) {
      return false;
    }
    const std::string value = text;
    if (value == "default") {
      options.visual = VisualPick::Default;
    } else if (value == "best" || value == "gl" || value == "GL") {
      options.visual = VisualPick::Best;
    } else if (const auto id = ParseWindowId(value)) {
      options.visual = VisualPick::Id;
      options.visual_id = *id;
    } else {
      error = name + " must be default, best or a visual id, got " + value;
      return false;
    }
    return true;
  }

  bool Geometry(const std::string& name) {
    const char* text = Value(name);
    if (text == nullptr) {
      return false;
    }
    const auto geometry = ParseGeometry(text);
    if (!geometry) {
      error = name + " must be WIDTHxHEIGHT[+X+Y], got " + text;
      return false;
    }
    options.geometry = *geometry;
    return true;
  }

  bool Display(const std::string& name) {
    const char* text = Value(name);
    if (text == nullptr) {
      return false;
    }
    options.display = text;
    return true;
  }

  bool One(const char* arg) {
    const std::string name = OptionName(arg);
    if (const SettingRow* row = FindSettingByOption(arg)) {
      if (row->is_switch) {
        options.settings.*row->field = 1;
        return true;
      }
      return Setting(*row);
    }
    if (name.starts_with("-no-")) {
      const SettingRow* row = FindSettingByOption(name.substr(3));
      if (row != nullptr && row->is_switch) {
        options.settings.*row->field = 0;
        return true;
      }
    }
    if (name == "-window-id") return WindowId(name);
    if (name == "-display") return Display(name);
    if (name == "-visual") return Visual(name);
    if (name == "-geometry") return Geometry(name);
    if (name == "-root" || name == "-window") {
      asked = name == "-root" ? HackTarget::Root : HackTarget::OwnWindow;
      return true;
    }
    if (name == "-fps" || name == "-no-fps") {
      options.fps = name == "-fps";
      return true;
    }
    if (name == "-help" || name == "-h") return options.help = true;
    error = std::string("unknown option ") + arg;
    return false;
  }
};

bool PickTarget(Parser& p, const char* xscreensaver_window) {
  // The daemon runs a hack with -root and hands it its own window in the environment:
  // the real root lies under that window, where nobody would see the clock. A window
  // asked for by name is not the root, so the environment does not replace it.
  if (p.window_id) {
    p.options.target = HackTarget::WindowId;
    p.options.window_id = *p.window_id;
  } else if (p.asked == HackTarget::OwnWindow) {
    p.options.target = HackTarget::OwnWindow;
  } else if (xscreensaver_window != nullptr && *xscreensaver_window != '\0') {
    const auto id = ParseWindowId(xscreensaver_window);
    if (!id) {
      p.error = std::string("XSCREENSAVER_WINDOW must be a window id, got ") + xscreensaver_window;
      return false;
    }
    p.options.target = HackTarget::WindowId;
    p.options.window_id = *id;
  } else if (p.asked == HackTarget::Root) {
    p.options.target = HackTarget::Root;
  }
  return true;
}

}  // namespace

std::optional<unsigned long> ParseWindowId(const std::string& text) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") !=
                            std::string::npos) {
    return std::nullopt;
  }
  errno = 0;
  const unsigned long long value = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
  // X ids are 29 bits wide.
  if (errno != 0 || value == 0 || value > 0x1FFFFFFFull) {
    return std::nullopt;
  }
  return static_cast<unsigned long>(value);
}

std::optional<WindowGeometry> ParseGeometry(const std::string& text) {
  int x = 0, y = 0;
  unsigned width = 0, height = 0;
  const int mask = XParseGeometry(text.c_str(), &x, &y, &width, &height);
  // XParseGeometry ignores what follows a valid prefix; a typo must not pass for a size.
  const bool sized = (mask & (WidthValue | HeightValue)) != 0;
  const bool placed = (mask & (XValue | YValue)) != 0;
  if ((!sized && !placed) || ((mask & WidthValue) && width == 0) ||
      ((mask & HeightValue) && height == 0) ||
      text.find_first_not_of("=0123456789xX+-") != std::string::npos) {
    return std::nullopt;
  }
  WindowGeometry g;
  if (mask & XValue) g.x = x;
  if (mask & YValue) g.y = y;
  if (mask & WidthValue) g.width = width;
  if (mask & HeightValue) g.height = height;
  g.x_from_right = (mask & XNegative) != 0;
  g.y_from_bottom = (mask & YNegative) != 0;
  return g;
}

std::optional<HackOptions> ParseHackOptions(int argc, const char* const* argv,
                                            const char* xscreensaver_window, std::string& error) {
  Parser p(argc, argv, error);
  for (; p.i < argc; ++p.i) {
    if (!p.One(argv[p.i])) {
      return std::nullopt;
    }
  }
  if (!PickTarget(p, xscreensaver_window)) {
    return std::nullopt;
  }
  return p.options;
}
