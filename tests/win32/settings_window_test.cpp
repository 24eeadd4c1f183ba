#include <gtest/gtest.h>

#include <memory>

#include "settings/ClockSettings.h"
#include "settings/win32/RegistryStore.h"
#include "settingswindow/Settings.h"
#include "scene/GlHeaders.h"
#include "tests/support/PixelFormatOnce.h"
#include "ui/Application.h"

namespace {

RECT ClientRectOf(HWND hwnd, HWND parent) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void ExpectRect(const RECT& got, const RECT& expected) {
  EXPECT_EQ(got.left, expected.left);
  EXPECT_EQ(got.top, expected.top);
  EXPECT_EQ(got.right, expected.right);
  EXPECT_EQ(got.bottom, expected.bottom);
}

// The settings window made in this process, with what Windows does and Wine does not put
// in by hand: a per-monitor DPI change (Wine runs at 96 DPI), a pixel format set once.
class SettingsWindowAsWindowsDrivesIt : public testing::Test {
 protected:
  void SetUp() override {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath);
    AppSettings() = {};
    Application().Reset();
    ResetSetPixelFormatOnceCalls();
    PixelFormatSetter() = &SetPixelFormatOnce;
    form_ = std::make_unique<TForm2>();
    ASSERT_TRUE(form_->HandleAllocated());
  }
  void TearDown() override {
    if (form_->HandleAllocated()) {
      form_->Close();
    }
    form_.reset();
    PixelFormatSetter() = &SetPixelFormat;
    Application().Reset();
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath);
  }

  std::unique_ptr<TForm2> form_;
};

TEST_F(SettingsWindowAsWindowsDrivesIt,
       MovedToA150PercentMonitorTakesTheSuggestedBoundsAndScalesItsLayout) {
  RECT suggested{100, 50, 700, 695};  // 400 x 430 at 96 DPI, times 1.5
  SendMessageA(form_->Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(form_->Dpi(), 144);
  RECT outer{};
  GetWindowRect(form_->Handle(), &outer);
  ExpectRect(outer, suggested);

  // Save at (11, 376), 75 x 17, scaled and rounded as MulDiv rounds.
  ExpectRect(ClientRectOf(form_->Button1.Handle(), form_->Handle()), {17, 564, 130, 590});
  // The clock still fills the client area, below the controls.
  RECT client{};
  GetClientRect(form_->Handle(), &client);
  ExpectRect(ClientRectOf(form_->ClockArea.Handle(), form_->Handle()), client);
  EXPECT_EQ(GetWindow(form_->ClockArea.Handle(), GW_HWNDNEXT), nullptr);
  // The clock's viewport: (0, 100, width, height - 130) at 96 DPI, its margins scaled.
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[0], 0);
  EXPECT_EQ(viewport[1], 150);
  EXPECT_EQ(viewport[2], 600);
  EXPECT_EQ(viewport[3], 645 - 195);
}

TEST_F(SettingsWindowAsWindowsDrivesIt, ActivationAgainKeepsTheClocksPixelFormat) {
  SendMessageA(form_->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
  SendMessageA(form_->Handle(), WM_ACTIVATE, WA_CLICKACTIVE, 0);
  ASSERT_TRUE(form_->HandleAllocated());
  EXPECT_EQ(SetPixelFormatOnceCalls(), 1);
  EXPECT_NE(wglGetCurrentContext(), nullptr);
}

}  // namespace
