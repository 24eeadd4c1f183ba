#pragma once

#include <cstdint>
#include <string_view>

enum class SaverMode { FullScreen, Settings, Preview, PasswordChange };

// The mode from the first argument: its second character, upper-cased.
SaverMode ReadSaverMode(std::string_view first_argument);

// The second argument as a window handle value: decimal or ($, x, X, 0x) hexadecimal,
// with leading blanks and a sign. Anything that does not convert completely into a
// signed 32-bit number gives 0.
int32_t ParseWindowHandle(std::string_view text);
