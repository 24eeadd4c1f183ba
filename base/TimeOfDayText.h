#pragma once

#include <optional>
#include <string_view>

#include "base/ClockSource.h"

// A time of day written HH:MM:SS, two digits each, 00:00:00 to 23:59:59, nothing
// before or after; nothing for anything else.
std::optional<TimeOfDay> ParseTimeOfDay(std::string_view text);
