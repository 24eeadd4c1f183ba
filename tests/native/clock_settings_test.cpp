#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>

#include "base/RandomGenerator.h"
#include "settings/ClockSettings.h"
#include "settings/ColorTables.h"
#include "settings/DialStyle.h"
#include "settings/SettingsTable.h"

namespace {

class SettingsRules : public testing::Test {
 protected:
  SettingsState settings_;
  RandomGenerator random_;
};

void ExpectRgb(const RGB& c, float r, float g, float b) {
  EXPECT_EQ(c.red, r);
  EXPECT_EQ(c.green, g);
  EXPECT_EQ(c.blue, b);
}

TEST_F(SettingsRules, AllZeroSeedsTheFullScreenDefaultsAndKeepsRands) {
  ClockSettings s;
  s.Rands = 1;
  s.Ar_Color = 3;
  EXPECT_TRUE(ApplyAllZeroRule(s, SettingsLoader::FullScreen));
  EXPECT_EQ(s.Brightness, 9);
  EXPECT_EQ(s.Sizes, 10);
  EXPECT_EQ(s.Color, 7);
  EXPECT_EQ(s.Alpha, 1);
  EXPECT_EQ(s.Arrows, 1);
  EXPECT_EQ(s.Ar_Color, 5);
  EXPECT_EQ(s.Rands, 1);
}

TEST_F(SettingsRules, AllZeroSeedsTheSettingsWindowDefaultsAndClearsRands) {
  ClockSettings s;
  s.Rands = 1;
  EXPECT_TRUE(ApplyAllZeroRule(s, SettingsLoader::SettingsWindow));
  EXPECT_EQ(s.Color, 5);
  EXPECT_EQ(s.Rands, 0);
  EXPECT_EQ(s.Ar_Color, 5);
}

TEST_F(SettingsRules, AnyOneOfTheFiveTestedValuesNonZeroKeepsEverything) {
  int32_t ClockSettings::*tested[] = {&ClockSettings::Arrows, &ClockSettings::Brightness,
                                      &ClockSettings::Sizes, &ClockSettings::Alpha,
                                      &ClockSettings::Color};
  for (auto field : tested) {
    ClockSettings s;
    s.*field = -3;
    const ClockSettings before = s;
    EXPECT_FALSE(ApplyAllZeroRule(s, SettingsLoader::FullScreen));
    EXPECT_EQ(s.*field, -3);
    EXPECT_EQ(s.Ar_Color, before.Ar_Color);
    EXPECT_EQ(s.Brightness, before.Brightness);
  }
}

TEST_F(SettingsRules, ArColorAndRandsAreNotTested) {
  ClockSettings s;
  s.Ar_Color = 8;
  s.Rands = 7;
  EXPECT_TRUE(ApplyAllZeroRule(s, SettingsLoader::FullScreen));
  EXPECT_EQ(s.Ar_Color, 5);
}

TEST_F(SettingsRules, RandomModeDrawsInOrderWithinTheRanges) {
  const uint32_t seed = 987654321u;
  ClockSettings s{9, 10, 7, 1, 1, 5, 1};
  random_.SetState(seed);
  ApplyRandomMode(s, random_);

  RandomGenerator reference;
  reference.SetState(seed);
  EXPECT_EQ(s.Ar_Color, static_cast<int32_t>(reference.Next(9)) + 1);
  EXPECT_EQ(s.Arrows, static_cast<int32_t>(reference.Next(9)) + 1);
  EXPECT_EQ(s.Color, static_cast<int32_t>(reference.Next(10)));
  EXPECT_EQ(s.Alpha, static_cast<int32_t>(reference.Next(9)) + 1);
  EXPECT_EQ(random_.State(), reference.State());
  EXPECT_EQ(s.Brightness, 9);
  EXPECT_EQ(s.Sizes, 10);
}

TEST_F(SettingsRules, RandomModeCoversItsRangesButNeverTen) {
  random_.SetState(42);
  bool seen_color_zero = false;
  bool seen_nine = false;
  for (int i = 0; i < 2000; ++i) {
    ClockSettings s;
    s.Rands = 1;
    ApplyRandomMode(s, random_);
    ASSERT_GE(s.Ar_Color, 1);
    ASSERT_LE(s.Ar_Color, 9);
    ASSERT_GE(s.Arrows, 1);
    ASSERT_LE(s.Arrows, 9);
    ASSERT_GE(s.Color, 0);
    ASSERT_LE(s.Color, 9);
    ASSERT_GE(s.Alpha, 1);
    ASSERT_LE(s.Alpha, 9);
    seen_color_zero |= s.Color == 0;
    seen_nine |= s.Alpha == 9;
  }
  EXPECT_TRUE(seen_color_zero);
  EXPECT_TRUE(seen_nine);
}

TEST_F(SettingsRules, RandomModeIsOnOnlyForExactlyOne) {
  for (int32_t rands : {0, 2, -1, 100}) {
    ClockSettings s{9, 10, 7, 1, 1, 5, rands};
    random_.SetState(5);
    ApplyRandomMode(s, random_);
    EXPECT_EQ(s.Color, 7) << "Rands " << rands;
    EXPECT_EQ(s.Ar_Color, 5);
    EXPECT_EQ(random_.State(), 5u) << "no draw for Rands " << rands;
  }
}

TEST_F(SettingsRules, HandColorTableRows) {
  ApplyHandColor(settings_.HandRGB, 1);
  ExpectRgb(settings_.HandRGB, 1.0f, 1.0f, 1.0f);
  ApplyHandColor(settings_.HandRGB, 5);
  ExpectRgb(settings_.HandRGB, 1.0f, 0.7f, 0.0f);
  ApplyHandColor(settings_.HandRGB, 8);
  ExpectRgb(settings_.HandRGB, 0.3f, 1.0f, 0.4f);
  ApplyHandColor(settings_.HandRGB, 10);
  ExpectRgb(settings_.HandRGB, 0.5f, 0.0f, 1.0f);
}

TEST_F(SettingsRules, DialColorTableRows) {
  ApplyDialColor(settings_.DialRGB, 1);
  ExpectRgb(settings_.DialRGB, 0.85f, 0.85f, 0.85f);
  ApplyDialColor(settings_.DialRGB, 5);
  ExpectRgb(settings_.DialRGB, 0.7f, 0.5f, 0.0f);
  ApplyDialColor(settings_.DialRGB, 6);
  ExpectRgb(settings_.DialRGB, 0.85f, 0.0f, 0.6f);
  ApplyDialColor(settings_.DialRGB, 10);
  ExpectRgb(settings_.DialRGB, 0.5f, 0.0f, 0.85f);
}

TEST_F(SettingsRules, IndexOutsideOneToTenLeavesTheColour) {
  ApplyHandColor(settings_.HandRGB, 11);
  ExpectRgb(settings_.HandRGB, 0.0f, 0.0f, 0.0f);
  ApplyHandColor(settings_.HandRGB, 2);
  for (int32_t index : {0, -1, 11, 1000}) {
    ApplyHandColor(settings_.HandRGB, index);
    ApplyDialColor(settings_.DialRGB, index);
  }
  ExpectRgb(settings_.HandRGB, 1.0f, 0.0f, 0.0f);
  ExpectRgb(settings_.DialRGB, 0.0f, 0.0f, 0.0f);
}

TEST(ColorTables, EveryRowIsAColourWithinZeroToOne) {
  for (const auto* table : {&HandColorTable, &DialColorTable}) {
    for (const RGB& c : *table) {
      for (float v : {c.red, c.green, c.blue}) {
        EXPECT_GE(v, 0.0f);
        EXPECT_LE(v, 1.0f);
      }
    }
  }
  EXPECT_EQ(HandColorTable.size(), 10u);
  EXPECT_EQ(DialColorTable.size(), 10u);
}

}  // namespace

// The registry's names and order are what users' keys hold; the table must keep them,
// one row per setting.
TEST(SettingsTable, RegistryNamesInTheirFixedOrderOneRowPerSetting) {
  const struct {
    const char* registry_name;
    int32_t ClockSettings::*field;
    const char* option;
  } expected[] = {
      {"Brightness", &ClockSettings::Brightness, "-brightness"},
      {"Sizes", &ClockSettings::Sizes, "-sizes"},
      {"Color", &ClockSettings::Color, "-dial"},
      {"Alpha", &ClockSettings::Alpha, "-dial-color"},
      {"Arrows", &ClockSettings::Arrows, "-hands"},
      {"Ar_Color", &ClockSettings::Ar_Color, "-hand-color"},
      {"Rands", &ClockSettings::Rands, "-random"},
  };
  ASSERT_EQ(std::size(expected), kSettingsTable.size());
  for (size_t i = 0; i < kSettingsTable.size(); ++i) {
    SCOPED_TRACE(expected[i].registry_name);
    EXPECT_STREQ(kSettingsTable[i].registry_name, expected[i].registry_name);
    EXPECT_EQ(kSettingsTable[i].field, expected[i].field);
    EXPECT_EQ(FindSettingByOption(expected[i].option), &kSettingsTable[i]);
    EXPECT_EQ(FindSettingByOption(std::string("-") + expected[i].option), &kSettingsTable[i]);
  }
  EXPECT_EQ(FindSettingByOption("dial"), nullptr);
  EXPECT_EQ(FindSettingByOption("---dial"), nullptr);
}

TEST(DialStyles, NoneMovingOrStillForEveryNumberAKeyMayHold) {
  const struct {
    int32_t style;
    DialKind kind;
  } cases[] = {
      {INT32_MIN, DialKind::None}, {-1, DialKind::None},        {0, DialKind::None},
      {1, DialKind::Moving},       {2, DialKind::Still},        {10, DialKind::Still},
      {11, DialKind::None},        {INT32_MAX, DialKind::None},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DialKindOf(c.style), c.kind) << c.style;
    EXPECT_EQ(ShowsDial(c.style), c.kind != DialKind::None) << c.style;
  }
  // The settings' dial slider spans exactly the styles and "none".
  const SettingRow& dial = SettingRowOf(&ClockSettings::Color);
  EXPECT_EQ(DialKindOf(dial.low), DialKind::None);
  EXPECT_EQ(DialKindOf(dial.high), DialKind::Still);
  EXPECT_EQ(DialKindOf(dial.high + 1), DialKind::None);
}
