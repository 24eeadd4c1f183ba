#include <gtest/gtest.h>

#include <string>

#include "settings/win32/RegistryStore.h"
#include "settings/window/SettingsSave.h"
#include "win32/WinHandles.h"

namespace {

constexpr char kTestKey[] = "Software\\Tessaryn\\SaveTest";

class SaveSettingsTest : public testing::Test {
 protected:
  void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey); }

  UniqueRegKey OpenTestKey(REGSAM access) {
    HKEY raw = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw,
                    nullptr);
    RegCloseKey(raw);
    raw = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, access, &raw), ERROR_SUCCESS);
    return UniqueRegKey(raw);
  }
};

// Save's order begins with Arrows; the load's write-back begins with Brightness. A write
// that fails names the first value of its order.
TEST_F(SaveSettingsTest, AFailingWriteNamesTheFirstValueOfSavesOwnOrder) {
  const UniqueRegKey read_only = OpenTestKey(KEY_READ);
  try {
    WriteSavedSettings(read_only.get(), {9, 10, 5, 1, 1, 5, 0});
    ADD_FAILURE() << "a write to a read-only key succeeded";
  } catch (const ERegistryException& e) {
    EXPECT_EQ(std::string(e.what()), "Failed to set data for 'Arrows'");
  }
}

}  // namespace
