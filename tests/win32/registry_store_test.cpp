#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/RandomGenerator.h"
#include "windowsetup/WindowSetup.h"
#include "settings/win32/RegistryStore.h"
#include "tests/support/StoredValue.h"
#include "ui/Application.h"
#include "win32/WinHandles.h"

namespace {

constexpr const char* kNames[] = {"Brightness", "Sizes",    "Color", "Alpha",
                                  "Arrows",     "Ar_Color", "Rands"};

// Each test starts from no stored key, on Wine's real registry.
class SettingsStore : public testing::Test {
 protected:
  void SetUp() override {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath);
    loaded_ = {};
    errors_.clear();
    // The load reports to its caller: no box of its own.
    Application().SetExceptionHandler(
        [](const std::exception& e) { ADD_FAILURE() << "unexpected error box: " << e.what(); });
  }
  void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath); }

  void Load(SettingsLoader loader) {
    LoadedSettings loaded = LoadSettings(loader, SystemRegistryCalls());
    loaded_ = loaded.settings;
    errors_ = std::move(loaded.failures);
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

  // The seven values in kNames' order.
  using Seven = std::vector<int32_t>;
  static Seven SevenOf(const ClockSettings& s) {
    return {s.Brightness, s.Sizes, s.Color, s.Alpha, s.Arrows, s.Ar_Color, s.Rands};
  }
  static void StoreAll(const ClockSettings& s) {
    for (int i = 0; i < 7; ++i) {
      StoreDword(kNames[i], static_cast<DWORD>(SevenOf(s)[i]));
    }
  }

  // The stored value, or -999 when it is missing or not a DWORD.
  static int32_t Stored(const char* name) { return StoredSetting(name); }
  static Seven StoredSeven() {
    Seven stored;
    for (const char* name : kNames) {
      stored.push_back(Stored(name));
    }
    return stored;
  }

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

  ClockSettings loaded_;
  std::vector<std::string> errors_;
};

// The settings window seeds Color 5 where the saver seeds 7.
TEST_F(SettingsStore, FirstLoadSeedsAndWritesBackExactlyTheSevenValues) {
  const struct {
    SettingsLoader loader;
    Seven seeded;
  } cases[] = {{SettingsLoader::FullScreen, {9, 10, 7, 1, 1, 5, 0}},
               {SettingsLoader::SettingsWindow, {9, 10, 5, 1, 1, 5, 0}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.loader == SettingsLoader::FullScreen ? "full screen" : "settings window");
    SetUp();
    Load(c.loader);
    EXPECT_EQ(StoredSeven(), c.seeded);
    EXPECT_EQ(SevenOf(loaded_), c.seeded);
    EXPECT_EQ(StoredNames(), SortedNames());
    EXPECT_TRUE(errors_.empty());
  }
}

TEST_F(SettingsStore, FiveZeroValuesAreReseededAndArColorBecomesFive) {
  StoreAll({0, 0, 0, 0, 0, 3, 1});
  Load(SettingsLoader::FullScreen);
  EXPECT_EQ(loaded_.Ar_Color, 5);
  EXPECT_EQ(Stored("Ar_Color"), 5);
  EXPECT_EQ(Stored("Color"), 7);
  // The full-screen loader keeps Rands as read.
  EXPECT_EQ(Stored("Rands"), 1);
}

TEST_F(SettingsStore, StoredValuesLoadAsTheyAreEvenOutOfRange) {
  StoreAll({3, 15, 11, 10, -4, 11, 2});
  Load(SettingsLoader::FullScreen);
  EXPECT_EQ(SevenOf(loaded_), (Seven{3, 15, 11, 10, -4, 11, 2}));
}

// How one stored value is spoilt before a load.
enum class Damage { Missing, Text, Binary, ZeroLengthDword, ShortText };

void Spoil(HKEY key, const char* name, Damage damage) {
  switch (damage) {
    case Damage::Missing:
      RegDeleteValueA(key, name);
      break;
    case Damage::Text:
      RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>("9"), 2);
      break;
    case Damage::Binary:
      RegSetValueExA(key, name, 0, REG_BINARY, reinterpret_cast<const BYTE*>("\1\0\0"), 3);
      break;
    case Damage::ZeroLengthDword:
      RegSetValueExA(key, name, 0, REG_DWORD, nullptr, 0);
      break;
    case Damage::ShortText:
      RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>("oops"), 5);
      break;
  }
}

// One unreadable value among six good ones: the message names it once, the six are
// used as stored and left alone, and only the bad one is replaced by its seeded default.
TEST_F(SettingsStore, OneUnreadableValueCostsOnlyItself) {
  const struct {
    int index;
    Damage damage;
    SettingsLoader loader;
    const char* message;
    int32_t seeded;
  } cases[] = {
      {0, Damage::Text, SettingsLoader::FullScreen, "Invalid data type for 'Brightness'", 9},
      {1, Damage::Missing, SettingsLoader::FullScreen, "Failed to get data for 'Sizes'", 10},
      {2, Damage::Binary, SettingsLoader::FullScreen, "Invalid data type for 'Color'", 7},
      {2, Damage::Binary, SettingsLoader::SettingsWindow, "Invalid data type for 'Color'", 5},
      {2, Damage::ZeroLengthDword, SettingsLoader::FullScreen, "Invalid data type for 'Color'", 7},
      {3, Damage::ShortText, SettingsLoader::SettingsWindow, "Invalid data type for 'Alpha'", 1},
      {6, Damage::Missing, SettingsLoader::FullScreen, "Failed to get data for 'Rands'", 0},
  };
  const Seven good = {4, 12, 3, 2, 6, 7, 1};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    SetUp();
    StoreAll({good[0], good[1], good[2], good[3], good[4], good[5], good[6]});
    Spoil(CreateKey().get(), kNames[c.index], c.damage);
    Load(c.loader);
    EXPECT_EQ(errors_, std::vector<std::string>{c.message});
    Seven expected = good;
    expected[c.index] = c.seeded;
    EXPECT_EQ(SevenOf(loaded_), expected);
    EXPECT_EQ(StoredSeven(), expected);
  }
}

TEST_F(SettingsStore, SeveralBadValuesShowOneMessageAndKeepTheGoodOnes) {
  StoreAll({4, 12, 3, 2, 6, 7, 0});
  {
    const UniqueRegKey key = CreateKey();
    Spoil(key.get(), "Brightness", Damage::Binary);
    Spoil(key.get(), "Arrows", Damage::Missing);
  }
  Load(SettingsLoader::FullScreen);
  EXPECT_EQ(errors_, std::vector<std::string>{"Invalid data type for 'Brightness'"});
  EXPECT_EQ(StoredSeven(), (Seven{9, 12, 3, 2, 1, 7, 0}));
}

// The all-zero rule looks at the values as read, an unreadable one counting as 0: a key
// whose only non-zero tested value is unreadable holds nothing to draw with, and is
// reseeded whole (hands and dial come back). One readable non-zero value keeps the rest.
TEST_F(SettingsStore, AllZeroRuleCountsAnUnreadableValueAsZero) {
  const struct {
    const char* what;
    SettingsLoader loader;
    ClockSettings stored;
    int bad;
    Damage damage;
    ClockSettings loaded;
    const char* message;
  } cases[] = {
      {"Brightness text, full screen",
       SettingsLoader::FullScreen,
       {5, 0, 0, 0, 0, 3, 0},
       0,
       Damage::Text,
       {9, 10, 7, 1, 1, 5, 0},
       "Invalid data type for 'Brightness'"},
      {"Brightness text, settings window",
       SettingsLoader::SettingsWindow,
       {5, 0, 0, 0, 0, 3, 1},
       0,
       Damage::Text,
       {9, 10, 5, 1, 1, 5, 0},
       "Invalid data type for 'Brightness'"},
      {"Arrows missing, Rands kept",
       SettingsLoader::FullScreen,
       {0, 0, 0, 0, 4, 3, 1},
       4,
       Damage::Missing,
       {9, 10, 7, 1, 1, 5, 1},
       "Failed to get data for 'Arrows'"},
      {"Rands unreadable reads as 0",
       SettingsLoader::FullScreen,
       {0, 0, 0, 0, 0, 3, 1},
       6,
       Damage::Binary,
       {9, 10, 7, 1, 1, 5, 0},
       "Invalid data type for 'Rands'"},
      {"Color non-zero keeps the rest",
       SettingsLoader::FullScreen,
       {5, 0, 4, 0, 0, 3, 0},
       0,
       Damage::ShortText,
       {9, 0, 4, 0, 0, 3, 0},
       "Invalid data type for 'Brightness'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetUp();
    StoreAll(c.stored);
    Spoil(CreateKey().get(), kNames[c.bad], c.damage);
    Load(c.loader);
    EXPECT_EQ(errors_, std::vector<std::string>{c.message});
    EXPECT_EQ(SevenOf(loaded_), SevenOf(c.loaded));
    EXPECT_EQ(StoredSeven(), SevenOf(c.loaded));
  }
}

// The settings key as an administrator's policy leaves it: everyone may read it, nobody
// may change it. The handle kept from before the change puts full access back.
class ReadOnlySettingsKey {
 public:
  ReadOnlySettingsKey() {
    HKEY raw = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, WRITE_DAC, &raw),
              ERROR_SUCCESS);
    dac_.reset(raw);
    SetDacl(dac_.get(), "D:P(A;;KR;;;WD)");
  }
  ~ReadOnlySettingsKey() { SetDacl(dac_.get(), "D:P(A;;KA;;;WD)"); }

 private:
  UniqueRegKey dac_;
};

TEST_F(SettingsStore, ReadOnlyKeyIsReadAndNeverWritten) {
  const struct {
    SettingsLoader loader;
    ClockSettings stored;
    ClockSettings loaded;
  } cases[] = {
      {SettingsLoader::FullScreen, {4, 12, 3, 2, 6, 7, 0}, {4, 12, 3, 2, 6, 7, 0}},
      // Nothing usable stored: seeded for this run only.
      {SettingsLoader::SettingsWindow, {0, 0, 0, 0, 0, 3, 0}, {9, 10, 5, 1, 1, 5, 0}},
  };
  for (const auto& c : cases) {
    SetUp();
    StoreAll(c.stored);
    {
      const ReadOnlySettingsKey policy;
      HKEY probe = nullptr;
      ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_ALL_ACCESS, &probe),
                ERROR_ACCESS_DENIED);
      Load(c.loader);
    }
    EXPECT_TRUE(errors_.empty());
    const ClockSettings& s = loaded_;
    EXPECT_EQ(s.Brightness, c.loaded.Brightness);
    EXPECT_EQ(s.Color, c.loaded.Color);
    EXPECT_EQ(s.Ar_Color, c.loaded.Ar_Color);
    EXPECT_EQ(Stored("Brightness"), c.stored.Brightness);
    EXPECT_EQ(Stored("Ar_Color"), c.stored.Ar_Color);
  }
}

TEST_F(SettingsStore, MissingFirstValueInAnEmptyKeyReseedsAndRepairs) {
  { const UniqueRegKey key = CreateKey(); }
  Load(SettingsLoader::FullScreen);
  ASSERT_EQ(errors_.size(), 1u);
  EXPECT_EQ(errors_[0], "Failed to get data for 'Brightness'");
  EXPECT_EQ(Stored("Brightness"), 9);
  EXPECT_EQ(Stored("Rands"), 0);
}

TEST_F(SettingsStore, RandomModeChangesMemoryNotTheRegistry) {
  StoreAll({9, 10, 7, 1, 1, 5, 1});
  Load(SettingsLoader::FullScreen);
  RandomGenerator random(SystemClockSource(), 20240607u);
  RandomGenerator reference;
  reference.SetState(20240607u);
  SettingsState settings;
  settings.clock = loaded_;
  SceneState scene;
  SaverSceneAfterContext(settings, scene, random);
  const ClockSettings& s = settings.clock;
  EXPECT_EQ(s.Ar_Color, static_cast<int32_t>(reference.Next(9)) + 1);
  EXPECT_EQ(s.Arrows, static_cast<int32_t>(reference.Next(9)) + 1);
  EXPECT_EQ(s.Color, static_cast<int32_t>(reference.Next(10)));
  EXPECT_EQ(s.Alpha, static_cast<int32_t>(reference.Next(9)) + 1);
  EXPECT_EQ(StoredSeven(), (Seven{9, 10, 7, 1, 1, 5, 1}));
}

TEST_F(SettingsStore, ColoursFollowTheLoadedIndices) {
  StoreAll({9, 10, 7, 4, 1, 2, 0});
  Load(SettingsLoader::FullScreen);
  SettingsState settings;
  settings.clock = loaded_;
  SceneState scene;
  RandomGenerator random;
  SaverSceneAfterContext(settings, scene, random);
  EXPECT_EQ(settings.HandRGB.red, 1.0f);
  EXPECT_EQ(settings.HandRGB.green, 0.0f);
  EXPECT_EQ(settings.DialRGB.blue, 0.85f);
  EXPECT_EQ(settings.DialRGB.red, 0.0f);
}

TEST_F(SettingsStore, SaveWritesAllSeven) {
  EXPECT_TRUE(WriteStoredSettings({1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(StoredNames(), SortedNames());
  EXPECT_EQ(StoredSeven(), (Seven{1, 2, 3, 4, 5, 6, 7}));
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
