#include <gtest/gtest.h>

#include <cstdio>

#include "SaverProcess.h"

namespace {

// The password-change mode is one call into the system; on a system whose library
// offers no dialog it ends at once. It never touches the settings. How soon it ends is
// a figure (tools/measure/measure-ends.sh), not a check: a loaded machine starts a Wine process
// in any time.
class PasswordChangeMode : public testing::TestWithParam<const char*> {};

TEST_P(PasswordChangeMode, EndsAndLeavesTheRegistryAlone) {
  DeleteStoredSettings();
  const DWORD start = GetTickCount();
  SaverProcess saver(GetParam());
  ASSERT_TRUE(saver.Started());
  ASSERT_TRUE(saver.WaitForExit(kAppearBound_ms)) << "still running";
  std::printf("figure: password_change_end_ms %s %lu\n", GetParam(), GetTickCount() - start);
  EXPECT_EQ(StoredSetting("Color"), -999);
  EXPECT_EQ(StoredSetting("Brightness"), -999);
}

TEST_P(PasswordChangeMode, KeepsStoredSettingsAsTheyAre) {
  StoreSettings(3, 12, 4, 2, 6, 8, 0);
  SaverProcess saver(GetParam());
  ASSERT_TRUE(saver.WaitForExit(kAppearBound_ms)) << "still running";
  EXPECT_EQ(StoredSetting("Brightness"), 3);
  EXPECT_EQ(StoredSetting("Color"), 4);
  EXPECT_EQ(StoredSetting("Ar_Color"), 8);
  DeleteStoredSettings();
}

INSTANTIATE_TEST_SUITE_P(Arguments, PasswordChangeMode,
                         testing::Values("/a", "/a 1234", "-A 0x10", "xa abc"));

}  // namespace
