#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "settings/ClockSettings.h"
#include "settings/win32/RegistryStore.h"
#include "settingswindow/ClockSyncCalls.h"
#include "settingswindow/Settings.h"
// After <windows.h>, which the window's header brings.
#include <commctrl.h>
#include "scene/GlHeaders.h"
#include "tests/support/TestWindows.h"
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

// The settings window's calls with a pixel format that is set once, as Windows allows.
SettingsWindowCalls PixelFormatOnce(PixelFormatSetOnce& format,
                                    ClockSyncCalls sync = SystemClockSyncCalls()) {
  SettingsWindowCalls calls = SystemSettingsWindowCalls();
  calls.gl = format.Calls();
  calls.sync = std::move(sync);
  return calls;
}

// The settings window made in this process, with what Windows does and Wine does not put
// in by hand: a per-monitor DPI change (Wine runs at 96 DPI), a pixel format set once.
class SettingsWindowAsWindowsDrivesIt : public OwnWindowTest<TForm2> {
 protected:
  void SetUp() override {
    OwnWindowTest::SetUp();
    form_ = std::make_unique<TForm2>(PixelFormatOnce(format_));
    ASSERT_TRUE(form_->HandleAllocated());
  }
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

// The text's extent in the control's own font.
int TextExtent(HWND control) {
  char text[64] = {};
  const int length = GetWindowTextA(control, text, sizeof(text));
  const HDC dc = GetDC(control);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
  SIZE extent{};
  GetTextExtentPoint32A(dc, text, length, &extent);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return extent.cx;
}

// The clock synchronisation's system calls with the privilege test answered: a process
// that holds the clock's privilege wears no shield, one that does not wears it. Nothing
// here presses the button, and nothing may set the clock or ask for elevation.
ClockSyncCalls SyncCallsHoldingPrivilege(bool held) {
  ClockSyncCalls calls = SystemClockSyncCalls();
  calls.PrivilegeTest = [held] { return held; };
  calls.SetClock = [](const SYSTEMTIME&) -> DWORD { return ERROR_PRIVILEGE_NOT_HELD; };
  calls.RunElevated = [](HWND, const std::wstring&, const std::wstring&) -> DWORD {
    return ERROR_CANCELLED;
  };
  return calls;
}

TEST_F(SettingsWindowAsWindowsDrivesIt, ClockSynchronizationWidensOnlyForItsShieldAtEveryScale) {
  for (const bool shield : {false, true}) {
    SCOPED_TRACE(shield ? "with the shield" : "without the shield");
    form_->Close();
    form_.reset();
    Application().Reset();
    form_ = std::make_unique<TForm2>(PixelFormatOnce(format_, SyncCallsHoldingPrivilege(!shield)));
    ASSERT_TRUE(form_->HandleAllocated());
    // Up the scales and back down: every change refits from the designed rectangle.
    for (const int dpi : {96, 120, 144, 192, 120, 96}) {
      SCOPED_TRACE(dpi);
      RECT suggested{0, 0, MulDiv(400, dpi, 96), MulDiv(430, dpi, 96)};
      SendMessageA(form_->Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
      const HWND button = form_->Button2.Handle();
      const RECT sync = ClientRectOf(button, form_->Handle());
      const int left = MulDiv(117, dpi, 96);
      const int right = left + MulDiv(160, dpi, 96);
      EXPECT_EQ(sync.top, MulDiv(376, dpi, 96));
      EXPECT_EQ(sync.bottom - sync.top, MulDiv(17, dpi, 96));
      // The designed right edge, 117 + 160 at 96 DPI, whatever the width.
      EXPECT_EQ(sync.right, right);
      if (!shield) {
        EXPECT_EQ(sync.left, left) << "widened without a shield";
        continue;
      }
      // The text, the small shield icon beside it, and the system's own ideal size.
      EXPECT_GE(sync.right - sync.left, TextExtent(button) + MulDiv(16, dpi, 96));
      SIZE ideal{};
      if (SendMessageA(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal))) {
        EXPECT_GE(sync.right - sync.left, ideal.cx);
      }
      // It never reaches "Save".
      const RECT save = ClientRectOf(form_->Button1.Handle(), form_->Handle());
      EXPECT_GT(sync.left, save.right);
    }
  }
}

TEST_F(SettingsWindowAsWindowsDrivesIt, ActivationAgainKeepsTheClocksPixelFormat) {
  SendMessageA(form_->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
  SendMessageA(form_->Handle(), WM_ACTIVATE, WA_CLICKACTIVE, 0);
  ASSERT_TRUE(form_->HandleAllocated());
  EXPECT_EQ(format_.CallCount(), 1);
  EXPECT_NE(wglGetCurrentContext(), nullptr);
}

}  // namespace
