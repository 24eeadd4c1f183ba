// The clock synchronisation's notice and connection-error windows over an owner made
// here: where they sit, whether they take the activation, and which keys close the
// error window (the system keeps Alt+F4; Alt with another key is not a close).

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "settingswindow/ConnectionError.h"
#include "settingswindow/Notice.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"
#include "ui/Application.h"
#include "win32/WinHandles.h"

namespace {

constexpr LPARAM kAltDown = 0x20000000;  // bit 29 of a key message: Alt is held
constexpr RECT kOwner{100, 80, 500, 510};

class SyncWindows : public testing::Test {
 protected:
  void SetUp() override {
    Application().Reset();
    owner_.reset(CreateWindowExA(0, "STATIC", "settings stand-in", WS_POPUP | WS_VISIBLE,
                                 kOwner.left, kOwner.top, kOwner.right - kOwner.left,
                                 kOwner.bottom - kOwner.top, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(owner_);
    ASSERT_TRUE(BringToFront(owner_.get()));
  }
  void TearDown() override {
    owner_.reset();
    Application().Reset();
  }

  UniqueWindow owner_;
};

TEST_F(SyncWindows, EachShowsCentredOverItsOwnerAtItsSize) {
  const struct {
    const char* what;
    std::function<std::unique_ptr<TForm>(HWND)> make;
    int width;
    int height;
    bool takes_activation;
  } cases[] = {
      {"notice", [](HWND owner) { return std::make_unique<TForm3>(owner); }, 400, 20, false},
      {"connection error", [](HWND owner) { return std::make_unique<TForm4>(owner); }, 403, 153,
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(BringToFront(owner_.get()));
    const std::unique_ptr<TForm> window = c.make(owner_.get());
    ASSERT_TRUE(window->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(window->Handle()));
    EXPECT_EQ(GetWindow(window->Handle(), GW_OWNER), owner_.get());
    RECT r{};
    GetWindowRect(window->Handle(), &r);
    // Wine runs at 96 DPI: the sizes as given.
    EXPECT_EQ(r.right - r.left, c.width);
    EXPECT_EQ(r.bottom - r.top, c.height);
    EXPECT_EQ(r.left, kOwner.left + (400 - c.width) / 2);
    EXPECT_EQ(r.top, kOwner.top + (430 - c.height) / 2);
    const HWND expected = c.takes_activation ? window->Handle() : owner_.get();
    EXPECT_TRUE(
        PumpUntil([expected] { return GetForegroundWindow() == expected; }, kStateBound_ms));
  }
}

TEST_F(SyncWindows, ConnectionErrorClosesOnEscapeEnterAndAltF4Only) {
  const struct {
    const char* what;
    UINT msg;
    WPARAM key;
    LPARAM flags;
    bool closes;
  } cases[] = {
      {"Escape", WM_KEYDOWN, VK_ESCAPE, 0, true},
      {"Enter", WM_KEYDOWN, VK_RETURN, 0, true},
      {"Alt+F4", WM_SYSKEYDOWN, VK_F4, kAltDown, true},
      {"another key", WM_KEYDOWN, 'A', 0, false},
      {"Alt+Enter", WM_SYSKEYDOWN, VK_RETURN, kAltDown, false},
      {"Alt+Escape", WM_SYSKEYDOWN, VK_ESCAPE, kAltDown, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TForm4 window(owner_.get());
    const HWND hwnd = window.Handle();
    SendMessageA(hwnd, c.msg, c.key, c.flags);
    if (c.closes) {
      // Alt+F4 closes through a posted command.
      EXPECT_TRUE(PumpUntil([hwnd] { return !IsWindow(hwnd); }, kStateBound_ms));
    } else {
      // What must not happen: a close that the key posted, served before looking.
      EXPECT_TRUE(PumpUntilPostedServed());
      EXPECT_TRUE(IsWindow(hwnd));
    }
    // A window is no application's main form: its close ends nothing.
    EXPECT_FALSE(Application().Terminated());
  }
}

}  // namespace
