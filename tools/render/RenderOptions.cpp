#include "tools/render/RenderOptions.h"

#include <charconv>
#include <limits>
#include <string_view>
#include <vector>

#include "base/TimeOfDayText.h"

std::string RenderUsage() {
  std::vector<std::string> items = {"[--time HH:MM:SS]"};
  for (std::string& setting : SettingOptionUsages(true)) {
    items.push_back(std::move(setting));
  }
  for (const char* item : {"[--window saver|settings|preview]", "[--width W]", "[--height H]",
                           "[--frames N]", "[--seed N]", "[--png FILE]", "[--trace FILE]"}) {
    items.push_back(item);
  }
  return UsageLines("tessaryn-render", items);
}

namespace {

constexpr int kMaxSide = 8192;
constexpr int kMaxFrames = 1000000;

template <typename T>
std::optional<T> ParseNumber(std::string_view text, T low, T high) {
  T value{};
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

std::optional<SceneWindow> ParseWindow(std::string_view text) {
  if (text == "saver") return SceneWindow::Saver;
  if (text == "settings") return SceneWindow::Settings;
  if (text == "preview") return SceneWindow::Preview;
  return std::nullopt;
}

// Settings are taken as stored, out-of-range values included, as a registry may hold.
bool SetSetting(std::string_view value, std::optional<int32_t>& setting) {
  setting = ParseNumber<int32_t>(value, std::numeric_limits<int32_t>::min(),
                                 std::numeric_limits<int32_t>::max());
  return setting.has_value();
}

// The settings take the two-dash spelling only, as every option here does.
const SettingRow* FindSetting(std::string_view name) {
  return name.starts_with("--") ? FindSettingByOption(name) : nullptr;
}

bool Apply(std::string_view name, std::string_view value, RenderOptions& o) {
  if (name == "--time") return (o.time = ParseTimeOfDay(value)).has_value();
  if (const SettingRow* row = FindSetting(name)) {
    return SetSetting(value, o.Setting(row->field));
  }
  if (name == "--window") {
    const auto w = ParseWindow(value);
    if (w) o.window = *w;
    return w.has_value();
  }
  if (name == "--seed") {
    return (o.seed = ParseNumber<uint32_t>(value, 0, std::numeric_limits<uint32_t>::max()))
        .has_value();
  }
  if (name == "--png") {
    o.png_path = value;
    return !value.empty();
  }
  if (name == "--trace") {
    o.trace_path = value;
    return !value.empty();
  }
  std::optional<int> number;
  if (name == "--width" || name == "--height") {
    number = ParseNumber<int>(value, 1, kMaxSide);
    (name == "--width" ? o.width : o.height) = number.value_or(0);
  } else if (name == "--frames") {
    number = ParseNumber<int>(value, 1, kMaxFrames);
    o.frames = number.value_or(0);
  }
  return number.has_value();
}

bool IsKnownOption(std::string_view name) {
  if (FindSetting(name) != nullptr) return true;
  for (const char* known :
       {"--time", "--window", "--width", "--height", "--frames", "--seed", "--png", "--trace"}) {
    if (name == known) return true;
  }
  return false;
}

}  // namespace

std::optional<RenderOptions> ParseRenderOptions(int argc, const char* const* argv,
                                                std::string& error) {
  RenderOptions o;
  for (int i = 0; i < argc; ++i) {
    const std::string_view name = argv[i];
    if (name == "--help" || name == "-h") {
      o.help = true;
      continue;
    }
    if (!IsKnownOption(name)) {
      error = "unknown option " + std::string(name);
      return std::nullopt;
    }
    if (i + 1 >= argc) {
      error = std::string(name) + " needs a value";
      return std::nullopt;
    }
    const std::string_view value = argv[++i];
    if (!Apply(name, value, o)) {
      error = "bad value for " + std::string(name) + ": " + std::string(value);
      return std::nullopt;
    }
  }
  return o;
}
