#include "app/CommandLine.h"

#include <limits>

namespace {

char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

int DigitValue(char c, int base) {
  int value = base;
  if (c >= '0' && c <= '9') {
    value = c - '0';
  } else if (c >= 'a' && c <= 'f') {
    value = c - 'a' + 10;
  } else if (c >= 'A' && c <= 'F') {
    value = c - 'A' + 10;
  }
  return value < base ? value : -1;
}

}  // namespace

SaverMode ReadSaverMode(std::string_view first_argument) {
  if (first_argument.size() < 2) {
    return SaverMode::FullScreen;
  }
  switch (UpperAscii(first_argument[1])) {
    case 'C':
      return SaverMode::Settings;
    case 'P':
      return SaverMode::Preview;
    case 'A':
      return SaverMode::PasswordChange;
    default:
      return SaverMode::FullScreen;
  }
}

int32_t ParseWindowHandle(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (text.substr(i, 1) == "$" || text.substr(i, 1) == "x" || text.substr(i, 1) == "X") {
    base = 16;
    i += 1;
  } else if (text.substr(i, 2) == "0x") {
    base = 16;
    i += 2;
  }
  if (i == text.size()) {
    return 0;
  }
  // Hexadecimal is a 32-bit pattern (so $FFFFFFFF is -1); decimal must fit the signed range.
  const uint64_t limit = base == 16 ? std::numeric_limits<uint32_t>::max()
                         : negative ? uint64_t{1} << 31
                                    : (uint64_t{1} << 31) - 1;
  uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i], base);
    if (digit < 0) {
      return 0;
    }
    magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (magnitude > limit) {
      return 0;
    }
  }
  const uint32_t bits = static_cast<uint32_t>(magnitude);
  return static_cast<int32_t>(negative ? 0u - bits : bits);
}
