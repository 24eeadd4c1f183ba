// The full-screen saver on a desk of two monitors. Runs only in a test bed where the
// system reports two monitors (tools/testbed/wine-run.sh with TESSARYN_MONITORS).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <memory>
#include <vector>

#include "../SaverProcess.h"
#include "tests/support/Input.h"

namespace {

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
  reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rect);
  return TRUE;
}

std::vector<RECT> Monitors() {
  std::vector<RECT> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

RECT VirtualScreen() {
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

POINT CentreOf(const RECT& r) {
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class SaverOnTwoMonitors : public testing::Test {
 protected:
  void SetUp() override {
    monitors_ = Monitors();
    ASSERT_EQ(monitors_.size(), 2u) << "the test bed must report two monitors";
    // No dial, white hands: only marks, numerals and hands are lit.
    StoreSettings(9, 10, 0, 1, 6, 1, 0);
  }
  void TearDown() override {
    saver_.reset();
    DeleteStoredSettings();
  }

  // The window once it is the active one and drawing; null, and a failure that says what
  // was missing, when it did not get there.
  HWND Start() { return StartFullScreenSaver(saver_); }

  // Minute marks lit on one monitor, of 60, as its own full-screen frame: on radius 1.9,
  // the hour marks on 1.7.
  static int LitMarks(const Screenshot& shot, const RECT& area, const RECT& monitor) {
    const int width = monitor.right - monitor.left;
    const int height = monitor.bottom - monitor.top;
    int lit = 0;
    for (int mark = 0; mark < 60; ++mark) {
      const double a = mark * std::numbers::pi / 30;
      const double r = mark % 5 == 0 ? 1.7 : 1.9;
      const POINT p = SceneToScreen(r * std::cos(a), r * std::sin(a), width, height);
      int best = 0;
      for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
          best = std::max(best, shot.Brightness(p.x + monitor.left - area.left + dx,
                                                p.y + monitor.top - area.top + dy));
        }
      }
      lit += best > 150 ? 1 : 0;
    }
    return lit;
  }

  std::vector<RECT> monitors_;
  std::unique_ptr<SaverProcess> saver_;
};

TEST_F(SaverOnTwoMonitors, CoversBothAndDrawsAClockOnEach) {
  const HWND window = Start();
  ASSERT_NE(window, nullptr);
  const RECT screen = VirtualScreen();
  RECT r{};
  GetWindowRect(window, &r);
  EXPECT_TRUE(EqualRect(&r, &screen))
      << r.left << "," << r.top << " " << r.right << "," << r.bottom;
  // A frame with the clock on both monitors, waited for: the window can be shown a moment
  // before its first frame over both is.
  std::unique_ptr<Screenshot> taken;
  PumpUntil(
      [&] {
        taken = std::make_unique<Screenshot>(screen);
        return std::all_of(monitors_.begin(), monitors_.end(),
                           [&](const RECT& m) { return LitMarks(*taken, screen, m) == 60; });
      },
      kStateBound_ms, 100);
  const Screenshot& shot = *taken;
  for (const RECT& m : monitors_) {
    SCOPED_TRACE(testing::Message() << "monitor at " << m.left << "," << m.top);
    EXPECT_EQ(LitMarks(shot, screen, m), 60);
    // Black in the corners, where the clock does not reach.
    EXPECT_LT(shot.Brightness(m.left - screen.left + 5, m.top - screen.top + 5), 30);
    EXPECT_LT(shot.Brightness(m.right - screen.left - 6, m.bottom - screen.top - 6), 30);
  }
  if (HasFailure()) {
    shot.Save("two-monitors-failure.bmp");
  }
}

// Leaving works from the second monitor as it does from the first.
TEST_F(SaverOnTwoMonitors, KeyMoveOrClickOnTheSecondMonitorLeaves) {
  enum class Act { Key, Move, Click };
  for (const Act act : {Act::Key, Act::Move, Act::Click}) {
    SCOPED_TRACE(testing::Message() << "act " << static_cast<int>(act));
    const POINT centre = CentreOf(monitors_[1]);
    EXPECT_TRUE(PlaceCursor(centre.x, centre.y));
    ASSERT_NE(Start(), nullptr);
    EXPECT_TRUE(saver_->Running());
    if (act == Act::Key) {
      PressKey(VK_SPACE);
    } else if (act == Act::Move) {
      SetCursorPos(centre.x + 40, centre.y);
    } else {
      ClickLeft();
    }
    // On a bare X server Wine waits up to 2 s for the window's withdrawal.
    EXPECT_TRUE(saver_->WaitForExit(kStateBound_ms));
    saver_.reset();
  }
}

}  // namespace
