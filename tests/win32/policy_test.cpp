// The administrator's policies as the Windows parts read them from the (Wine) registry,
// and the settings window made in this process under them: which controls stand
// disabled, the reason a pointer finds over them, and what "Save" stores.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "settings/SettingsTable.h"
#include "settings/win32/PolicyStore.h"
#include "settings/win32/RegistryStore.h"
#include "settingswindow/Settings.h"
// After <windows.h>, which the window's header brings.
#include <commctrl.h>
#include "tests/support/PolicyKeys.h"
#include "tests/support/TestWindows.h"
#include "tests/support/StoredValue.h"
#include "tests/support/WglStandIns.h"
#include "ui/Application.h"

namespace {

constexpr size_t kColor = SettingIndex(&ClockSettings::Color);
constexpr size_t kSizes = SettingIndex(&ClockSettings::Sizes);

TEST(PolicyStore, ReadsBothKeysAsTheyAreAndWritesNothingBack) {
  const struct {
    const char* what;
    std::vector<PolicyEntry> policy;
    std::optional<int32_t> color;
    std::optional<int32_t> sizes;
    std::optional<bool> sync;
    std::optional<std::string> servers;
  } cases[] = {
      {"no keys", {}, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
      {"the computer's beats the user's",
       {{HKEY_LOCAL_MACHINE, "Color", REG_DWORD, 2}, {HKEY_CURRENT_USER, "Color", REG_DWORD, 8}},
       2,
       std::nullopt,
       std::nullopt,
       std::nullopt},
      {"out of range and binary are ignored",
       {{HKEY_LOCAL_MACHINE, "Color", REG_DWORD, 12},
        {HKEY_CURRENT_USER, "Color", REG_DWORD, 8},
        {HKEY_LOCAL_MACHINE, "Sizes", REG_BINARY, 10}},
       8,
       std::nullopt,
       std::nullopt,
       std::nullopt},
      {"sync off, servers kept as written",
       {{HKEY_CURRENT_USER, "ClockSync", REG_DWORD, 0},
        {HKEY_LOCAL_MACHINE, "TimeServers", REG_SZ, 0, "10.1.2.3:1313"}},
       std::nullopt,
       std::nullopt,
       false,
       "10.1.2.3:1313"},
      {"an empty list is ignored",
       {{HKEY_LOCAL_MACHINE, "TimeServers", REG_SZ, 0, ""}},
       std::nullopt,
       std::nullopt,
       std::nullopt,
       std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WritePolicies(c.policy);
    const std::vector<std::string> before = PolicyValueNames();
    const Policies p = ReadPolicies();
    EXPECT_EQ(p.settings[kColor], c.color);
    EXPECT_EQ(p.settings[kSizes], c.sizes);
    EXPECT_EQ(p.clock_sync_allowed, c.sync);
    EXPECT_EQ(p.time_servers, c.servers);
    EXPECT_EQ(PolicyValueNames(), before);
  }
  ClearPolicies();
}

// The text a pointer resting at the control's centre finds over `window`: the form, or
// the clock area beneath the controls, which takes the mouse over a disabled control.
std::string TipOver(const TToolTip& tips, HWND window, HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  char text[128] = {};
  TTHITTESTINFOA hit{};
  hit.hwnd = window;
  hit.pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ScreenToClient(window, &hit.pt);
  hit.ti.cbSize = TTTOOLINFOA_V2_SIZE;
  if (!SendMessageA(tips.Handle(), TTM_HITTESTA, 0, reinterpret_cast<LPARAM>(&hit))) {
    return "";
  }
  hit.ti.lpszText = text;
  SendMessageA(tips.Handle(), TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&hit.ti));
  return text;
}

class SettingsWindowUnderPolicy : public OwnWindowTest<TForm2> {
 protected:
  void SetUp() override {
    ClearPolicies();
    OwnWindowTest::SetUp();
  }
  void TearDown() override {
    OwnWindowTest::TearDown();
    ClearPolicies();
  }
  void Open(bool clock_step_installed = true) {
    SettingsWindowCalls calls = SystemSettingsWindowCalls();
    calls.sync.ClockStepInstalled = [clock_step_installed] { return clock_step_installed; };
    calls.gl = format_.Calls();
    form_ = std::make_unique<TForm2>(std::move(calls));
    ASSERT_TRUE(form_->HandleAllocated());
  }
  // The same text over the form and over the clock area.
  std::string TipAt(HWND control) const {
    const std::string over_form = TipOver(form_->Tips(), form_->Handle(), control);
    const std::string over_clock = TipOver(form_->Tips(), form_->ClockArea.Handle(), control);
    EXPECT_EQ(over_form, over_clock);
    return over_form;
  }
};

TEST_F(SettingsWindowUnderPolicy, PolicySetControlsStandDisabledAndSaySoAndSaveSkipsThem) {
  WriteStoredSettings({3, 12, 4, 2, 6, 8, 0});
  WritePolicies({{HKEY_LOCAL_MACHINE, "Alpha", REG_DWORD, 7},
                 {HKEY_CURRENT_USER, "Rands", REG_DWORD, 1},
                 {HKEY_LOCAL_MACHINE, "ClockSync", REG_DWORD, 0}});
  Open();
  // Random mode by policy draws the others and keeps the policy's dial colour.
  EXPECT_EQ(form_->TrackBar5.Position(), 7);
  EXPECT_TRUE(form_->CheckBox1.Checked());
  EXPECT_FALSE(IsWindowEnabled(form_->TrackBar5.Handle()));
  EXPECT_FALSE(IsWindowEnabled(form_->CheckBox1.Handle()));
  EXPECT_FALSE(IsWindowEnabled(form_->Button2.Handle()));
  EXPECT_TRUE(IsWindowEnabled(form_->TrackBar4.Handle()));
  EXPECT_EQ(TipAt(form_->TrackBar5.Handle()), TForm2::kSetByPolicyTip);
  EXPECT_EQ(TipAt(form_->CheckBox1.Handle()), TForm2::kSetByPolicyTip);
  EXPECT_EQ(TipAt(form_->Button2.Handle()), TForm2::kSyncOffByPolicyTip);
  EXPECT_EQ(TipAt(form_->TrackBar4.Handle()), "");
  // Still there after a new DPI has moved every control.
  RECT suggested{0, 0, 600, 645};
  SendMessageA(form_->Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(TipAt(form_->TrackBar5.Handle()), TForm2::kSetByPolicyTip);

  form_->TrackBar4.SetPosition(9);
  SendMessageA(form_->Button1.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(StoredSetting("Color"), 9);
  EXPECT_EQ(StoredSetting("Alpha"), 2);
  EXPECT_EQ(StoredSetting("Rands"), 0);
}

TEST_F(SettingsWindowUnderPolicy, WithoutTheClockStepTheButtonStandsDisabledAndSaysWhy) {
  Open(false);
  EXPECT_FALSE(IsWindowEnabled(form_->Button2.Handle()));
  EXPECT_EQ(TipAt(form_->Button2.Handle()), TForm2::kSyncNotInstalledTip);
  // Nothing else is set: every slider moves.
  EXPECT_TRUE(IsWindowEnabled(form_->TrackBar1.Handle()));
  EXPECT_TRUE(IsWindowEnabled(form_->CheckBox1.Handle()));
}

}  // namespace
