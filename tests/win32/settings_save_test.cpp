#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "settings/win32/RegistryStore.h"
#include "settingswindow/SettingsSave.h"
#include "tests/support/StoredValue.h"
#include "win32/SystemError.h"
#include "win32/WinHandles.h"

namespace {

constexpr ClockSettings kShown{9, 10, 5, 1, 1, 5, 0};

class SaveSettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    HKEY raw = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &raw, nullptr);
    key_.reset(raw);
  }
  void TearDown() override {
    SetDacl(key_.get(), "D:P(A;;KA;;;WD)");
    key_.reset();
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath);
  }
  UniqueRegKey key_;
};

// Save's order begins with Arrows, the load's write-back with Brightness: a failing write
// names the first value of Save's own order. A key that cannot be opened (a policy keeps
// it read-only, or shuts everyone out) names the key, as no value was tried; either way
// the failure is said instead of storing nothing without a word.
TEST_F(SaveSettingsTest, AFailedSaveNamesWhatFailed) {
  const std::string unopenable = "Failed to open key 'HKEY_CURRENT_USER\\Software\\Tessaryn': " +
                                 SystemErrorText(ERROR_ACCESS_DENIED);
  const struct {
    const char* what;
    std::function<void()> save;
    std::string message;
  } cases[] = {
      {"value refused",
       [] {
         HKEY raw = nullptr;
         ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &raw),
                   ERROR_SUCCESS);
         const UniqueRegKey read_only(raw);
         WriteSavedSettings(read_only.get(), kShown);
       },
       "Failed to set data for 'Arrows'"},
      {"key read-only",
       [this] {
         SetDacl(key_.get(), "D:P(A;;KR;;;WD)");
         SaveSettings(kShown);
       },
       unopenable},
      {"key shut to everyone",
       [this] {
         SetDacl(key_.get(), "D:P");
         SaveSettings(kShown);
       },
       unopenable},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      c.save();
      ADD_FAILURE() << "a save into a key that refuses it succeeded";
    } catch (const ERegistryException& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
    SetDacl(key_.get(), "D:P(A;;KA;;;WD)");
    EXPECT_EQ(StoredSetting("Arrows"), kNoStoredSetting);
  }
}

}  // namespace
