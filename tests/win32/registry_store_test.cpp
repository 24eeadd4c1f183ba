#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/RandomGenerator.h"
#include "settings/setup/WindowSetup.h"
#include "settings/win32/RegistryStore.h"
#include "tests/support/StoredValue.h"
#include "ui/Application.h"
#include "win32/WinHandles.h"

namespace {

constexpr const char* kNames[] = {"Brightness", "Sizes",    "Color", "Alpha",
                                  "Arrows",     "Ar_Color", "Rands"};

// Each test starts from no stored key and an empty process state, on Wine's real registry.
class SettingsStore : public testing::Test {
 protected:
  void SetUp() override {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath);
    AppSettings() = {};
    errors_.clear();
    Application().SetExceptionHandler(
        [this](const std::exception& e) { errors_.push_back(e.what()); });
  }
  void TearDown() override {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath);
    Application().SetExceptionHandler(
        [](const std::exception& e) { ADD_FAILURE() << "unexpected error box: " << e.what(); });
  }

  static UniqueRegKey CreateKey() {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return UniqueRegKey(key);
  }

  static void StoreDword(const char* name, DWORD value) {
    const UniqueRegKey key = CreateKey();
    RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof(value));
  }

  static void StoreAll(const ClockSettings& s) {
    const int32_t values[] = {s.Brightness, s.Sizes,    s.Color, s.Alpha,
                              s.Arrows,     s.Ar_Color, s.Rands};
    for (int i = 0; i < 7; ++i) {
      StoreDword(kNames[i], static_cast<DWORD>(values[i]));
    }
  }

  // The stored value, or -999 when it is missing or not a DWORD.
  static int32_t Stored(const char* name) { return StoredSetting(name); }

  // NOTE: Wine enumerates a key's values sorted by name, so the write order cannot be
  // observed here; these tests check that exactly the seven values are stored.
  static std::vector<std::string> StoredNames() {
    HKEY raw = nullptr;
    std::vector<std::string> names;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &raw) != ERROR_SUCCESS) {
      return names;
    }
    const UniqueRegKey key(raw);
    for (DWORD i = 0;; ++i) {
      char name[64];
      DWORD size = sizeof(name);
      if (RegEnumValueA(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      names.emplace_back(name);
    }
    return names;
  }

  static std::vector<std::string> SortedNames() {
    return {"Alpha", "Ar_Color", "Arrows", "Brightness", "Color", "Rands", "Sizes"};
  }

  std::vector<std::string> errors_;
};

TEST_F(SettingsStore, FirstFullScreenLoadSeedsAndWritesTheSevenValues) {
  LoadSettings(SettingsLoader::FullScreen);
  const int32_t expected[] = {9, 10, 7, 1, 1, 5, 0};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(Stored(kNames[i]), expected[i]) << kNames[i];
  }
  EXPECT_EQ(AppSettings().clock.Color, 7);
  EXPECT_EQ(AppSettings().clock.Brightness, 9);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(SettingsStore, FirstSettingsWindowLoadSeedsColorFiveAndRandsZero) {
  LoadSettings(SettingsLoader::SettingsWindow);
  const int32_t expected[] = {9, 10, 5, 1, 1, 5, 0};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(Stored(kNames[i]), expected[i]) << kNames[i];
  }
}

TEST_F(SettingsStore, WriteBackStoresExactlyTheSevenValues) {
  LoadSettings(SettingsLoader::FullScreen);
  EXPECT_EQ(StoredNames(), SortedNames());
}

TEST_F(SettingsStore, ReadsInTheFixedOrderAndStopsAtTheFirstBadValue) {
  StoreAll({4, 12, 3, 2, 6, 7, 0});
  {
    const UniqueRegKey key = CreateKey();
    RegDeleteValueA(key.get(), "Color");
    RegSetValueExA(key.get(), "Brightness", 0, REG_BINARY, reinterpret_cast<const BYTE*>("\1\0\0"),
                   3);
  }
  LoadSettings(SettingsLoader::FullScreen);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0], "Invalid data type for 'Brightness'");
  // Nothing was read, so the five tested values are all 0 and the defaults are seeded.
  EXPECT_EQ(AppSettings().clock.Brightness, 9);
  EXPECT_EQ(Stored("Color"), 7);
}

TEST_F(SettingsStore, FiveZeroValuesAreReseededAndArColorBecomesFive) {
  StoreAll({0, 0, 0, 0, 0, 3, 1});
  LoadSettings(SettingsLoader::FullScreen);
  EXPECT_EQ(AppSettings().clock.Ar_Color, 5);
  EXPECT_EQ(Stored("Ar_Color"), 5);
  EXPECT_EQ(Stored("Color"), 7);
  // The full-screen loader keeps Rands as read.
  EXPECT_EQ(Stored("Rands"), 1);
}

TEST_F(SettingsStore, StoredValuesLoadAsTheyAreEvenOutOfRange) {
  StoreAll({3, 15, 11, 10, -4, 11, 2});
  LoadSettings(SettingsLoader::FullScreen);
  const ClockSettings& s = AppSettings().clock;
  EXPECT_EQ(s.Brightness, 3);
  EXPECT_EQ(s.Sizes, 15);
  EXPECT_EQ(s.Color, 11);
  EXPECT_EQ(s.Alpha, 10);
  EXPECT_EQ(s.Arrows, -4);
  EXPECT_EQ(s.Ar_Color, 11);
  EXPECT_EQ(s.Rands, 2);
}

TEST_F(SettingsStore, ValueStoredAsTextNamesItselfAndKeepsWhatWasRead) {
  StoreAll({4, 12, 3, 2, 6, 7, 0});
  {
    const UniqueRegKey key = CreateKey();
    const char text[] = "oops";
    RegSetValueExA(key.get(), "Alpha", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   sizeof(text));
  }
  LoadSettings(SettingsLoader::FullScreen);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0], "Invalid data type for 'Alpha'");
  const ClockSettings& s = AppSettings().clock;
  EXPECT_EQ(s.Brightness, 4);
  EXPECT_EQ(s.Sizes, 12);
  EXPECT_EQ(s.Color, 3);
  EXPECT_EQ(s.Alpha, 0);
  EXPECT_EQ(s.Arrows, 0);
}

TEST_F(SettingsStore, ShortTextValueIsStillTheWrongType) {
  StoreAll({4, 12, 3, 2, 6, 7, 0});
  {
    const UniqueRegKey key = CreateKey();
    RegSetValueExA(key.get(), "Sizes", 0, REG_SZ, reinterpret_cast<const BYTE*>("7"), 2);
  }
  LoadSettings(SettingsLoader::FullScreen);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0], "Invalid data type for 'Sizes'");
}

TEST_F(SettingsStore, MissingValueNamesItself) {
  StoreDword("Brightness", 6);
  StoreDword("Sizes", 8);
  LoadSettings(SettingsLoader::FullScreen);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0], "Failed to get data for 'Color'");
  EXPECT_EQ(AppSettings().clock.Brightness, 6);
  EXPECT_EQ(AppSettings().clock.Sizes, 8);
}

TEST_F(SettingsStore, MissingFirstValueInAnEmptyKeyReseedsAndRepairs) {
  { const UniqueRegKey key = CreateKey(); }
  LoadSettings(SettingsLoader::FullScreen);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0], "Failed to get data for 'Brightness'");
  EXPECT_EQ(Stored("Brightness"), 9);
  EXPECT_EQ(Stored("Rands"), 0);
}

TEST_F(SettingsStore, RandomModeChangesMemoryNotTheRegistry) {
  StoreAll({9, 10, 7, 1, 1, 5, 1});
  LoadSettings(SettingsLoader::FullScreen);
  Random().PinSeed(20240607u);
  RandomGenerator reference;
  reference.SetState(20240607u);
  SaverSceneAfterContext();
  Random().PinSeed(std::nullopt);
  const ClockSettings& s = AppSettings().clock;
  EXPECT_EQ(s.Ar_Color, static_cast<int32_t>(reference.Next(9)) + 1);
  EXPECT_EQ(s.Arrows, static_cast<int32_t>(reference.Next(9)) + 1);
  EXPECT_EQ(s.Color, static_cast<int32_t>(reference.Next(10)));
  EXPECT_EQ(s.Alpha, static_cast<int32_t>(reference.Next(9)) + 1);
  const int32_t stored[] = {9, 10, 7, 1, 1, 5, 1};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(Stored(kNames[i]), stored[i]) << kNames[i];
  }
}

TEST_F(SettingsStore, ColoursFollowTheLoadedIndices) {
  StoreAll({9, 10, 7, 4, 1, 2, 0});
  LoadSettings(SettingsLoader::FullScreen);
  SaverSceneAfterContext();
  EXPECT_EQ(AppSettings().HandRGB.red, 1.0f);
  EXPECT_EQ(AppSettings().HandRGB.green, 0.0f);
  EXPECT_EQ(AppSettings().DialRGB.blue, 0.85f);
  EXPECT_EQ(AppSettings().DialRGB.red, 0.0f);
}

TEST_F(SettingsStore, SaveWritesAllSeven) {
  EXPECT_TRUE(WriteStoredSettings({1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(StoredNames(), SortedNames());
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(Stored(kNames[i]), i + 1) << kNames[i];
  }
}

TEST_F(SettingsStore, SaveOverwritesATextValueWithADword) {
  StoreAll({1, 1, 1, 1, 1, 1, 1});
  {
    const UniqueRegKey key = CreateKey();
    RegSetValueExA(key.get(), "Color", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
  }
  EXPECT_TRUE(WriteStoredSettings({9, 9, 9, 9, 9, 9, 0}));
  EXPECT_EQ(Stored("Color"), 9);
}

}  // namespace
