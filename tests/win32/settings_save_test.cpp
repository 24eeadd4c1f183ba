#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "settings/win32/RegistryStore.h"
#include "settings/window/SettingsSave.h"
#include "win32/WinHandles.h"

#include <sddl.h>

namespace {

constexpr ClockSettings kShown{9, 10, 5, 1, 1, 5, 0};

void SetDacl(HKEY key, const char* sddl) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  ASSERT_TRUE(
      ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr));
  EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd), ERROR_SUCCESS);
  LocalFree(sd);
}

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
// names the first value of Save's own order. A key that a policy keeps read-only fails
// the same way instead of storing nothing without a word.
TEST_F(SaveSettingsTest, AFailedSaveNamesTheFirstValueOfItsOwnOrder) {
  const std::function<void()> saves[] = {
      [] {
        HKEY raw = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &raw),
                  ERROR_SUCCESS);
        const UniqueRegKey read_only(raw);
        WriteSavedSettings(read_only.get(), kShown);
      },
      [this] {
        SetDacl(key_.get(), "D:P(A;;KR;;;WD)");
        SaveSettings(kShown);
      },
  };
  for (const auto& save : saves) {
    try {
      save();
      ADD_FAILURE() << "a save into a read-only key succeeded";
    } catch (const ERegistryException& e) {
      EXPECT_EQ(std::string(e.what()), "Failed to set data for 'Arrows'");
    }
  }
}

}  // namespace
