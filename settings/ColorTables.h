#pragma once

#include <array>

#include "settings/ClockSettings.h"

// Rows 1 to 10 are stored at 0 to 9.
extern const std::array<RGB, 10> HandColorTable;
extern const std::array<RGB, 10> DialColorTable;
