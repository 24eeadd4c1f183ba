#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "app/CommandLine.h"

namespace {

struct ModeCase {
  const char* argument;
  SaverMode mode;
};

TEST(ReadingTheMode, TheSecondCharacterUpperCasedChoosesTheMode) {
  const ModeCase cases[] = {
      {"", SaverMode::FullScreen},       {"/s", SaverMode::FullScreen},
      {"/S", SaverMode::FullScreen},     {"-s", SaverMode::FullScreen},
      {"/x", SaverMode::FullScreen},     {"/c", SaverMode::Settings},
      {"/C", SaverMode::Settings},       {"-c", SaverMode::Settings},
      {"/c:1234", SaverMode::Settings},  {"/C:4711", SaverMode::Settings},
      {"/p", SaverMode::Preview},        {"/P", SaverMode::Preview},
      {"/a", SaverMode::PasswordChange}, {"xa", SaverMode::PasswordChange},
      {"C", SaverMode::FullScreen},      {"p", SaverMode::FullScreen},
      {"a", SaverMode::FullScreen},      {"c/", SaverMode::FullScreen},
      {"/\xe3", SaverMode::FullScreen},  {"//", SaverMode::FullScreen},
      {"/pc", SaverMode::Preview},       {"/ c", SaverMode::FullScreen},
  };
  for (const ModeCase& c : cases) {
    EXPECT_EQ(ReadSaverMode(c.argument), c.mode) << "argument \"" << c.argument << "\"";
  }
}

struct HandleCase {
  std::string text;
  int32_t handle;
};

TEST(ParsingTheWindowHandle, DecimalHexAndSignsConvert) {
  const HandleCase cases[] = {
      {"1234", 1234},
      {"0", 0},
      {"  1234", 1234},
      {"+42", 42},
      {"-42", -42},
      {"$1A", 26},
      {"x1a", 26},
      {"X1A", 26},
      {"0x1A", 26},
      {"  -$10", -16},
      {"2147483647", 2147483647},
      {"-2147483648", std::numeric_limits<int32_t>::min()},
      {"$FFFFFFFF", -1},
      {"0x7fffffff", 2147483647},
      {"007", 7},
  };
  for (const HandleCase& c : cases) {
    EXPECT_EQ(ParseWindowHandle(c.text), c.handle) << "text \"" << c.text << "\"";
  }
}

TEST(ParsingTheWindowHandle, JunkOverflowAndEmptyTextGiveZero) {
  const char* cases[] = {
      "",     "abc",   "12ab", "1234 ",      " ",           "+",          "-",
      "$",    "0x",    "x",    "2147483648", "-2147483649", "$100000000", "99999999999999999999",
      "12.5", "1,234", "\t12", "0X1A",       "--1",         "+-1",        "$-1",
  };
  for (const char* text : cases) {
    EXPECT_EQ(ParseWindowHandle(text), 0) << "text \"" << text << "\"";
  }
}

}  // namespace
