#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "base/ClockSource.h"
#include "glwindow/DisplayWatch.h"
#include "glwindow/GlForm.h"
#include "saver/Full.h"
#include "settings/win32/RegistryStore.h"
#include "tests/support/Pump.h"
#include "tests/support/TestWindows.h"
#include "ui/Application.h"

// Frames only for a display that someone can see: the display's power and the session's
// notifications, delivered as Windows delivers them, stop the frames and the ticks, and
// bring a frame at once when the display is back.

namespace {

// Long enough for several 40 ms ticks; what must not come within it is a frame or a tick.
constexpr DWORD kDarkSpell_ms = 400;

// What the registration calls were given, and what they answer.
struct Registrations {
  bool succeed = true;
  const GUID* power_setting = nullptr;
  HWND session_window = nullptr;
  int power_unregistered = 0;
  int session_unregistered = 0;
};
HANDLE const kPowerHandle = reinterpret_cast<HANDLE>(0x5151);

// Calls that record into `r`, which must outlive them.
DisplayNotifications Recorded(Registrations& r, bool windows8) {
  DisplayNotifications calls;
  calls.RegisterPowerSetting = [&r](HANDLE, const GUID* setting, DWORD) {
    r.power_setting = setting;
    return r.succeed ? kPowerHandle : nullptr;
  };
  calls.UnregisterPowerSetting = [&r](HANDLE handle) {
    r.power_unregistered += handle == kPowerHandle;
    return TRUE;
  };
  calls.RegisterSession = [&r](HWND window, DWORD) {
    r.session_window = window;
    return r.succeed ? TRUE : FALSE;
  };
  calls.UnregisterSession = [&r](HWND) {
    ++r.session_unregistered;
    return TRUE;
  };
  calls.Windows8OrLater = [windows8] { return windows8; };
  return calls;
}

// One notification as Windows sends it.
struct Notice {
  UINT msg;
  WPARAM wparam;
  const GUID* setting;  // for a power setting: which one, with `state` as its data
  DWORD state;
};

// GUID_CONSOLE_DISPLAY_STATE: the console's monitor, which Windows 8 and later also
// report; a remote session's clock must not follow it.
constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

constexpr WPARAM kConsoleConnect = 1;
constexpr WPARAM kConsoleDisconnect = 2;
constexpr WPARAM kRemoteConnect = 3;
constexpr WPARAM kRemoteDisconnect = 4;

Notice Power(const GUID& setting, DWORD state) {
  return {kWmPowerBroadcast, kPbtPowerSettingChange, &setting, state};
}
Notice Session(WPARAM event) {
  return {kWmWtsSessionChange, event, nullptr, 0};
}

LRESULT Deliver(HWND window, const Notice& n) {
  if (n.setting == nullptr) {
    return SendMessageA(window, n.msg, n.wparam, 0);
  }
  // POWERBROADCAST_SETTING: the setting, the data's length, the data.
  struct {
    GUID setting;
    DWORD length;
    DWORD data;
  } broadcast{*n.setting, sizeof(DWORD), n.state};
  return SendMessageA(window, n.msg, n.wparam, reinterpret_cast<LPARAM>(&broadcast));
}

// The notice as the window's procedure hands it to the watch.
bool NoticeTo(DisplayWatch& watch, const Notice& n) {
  struct {
    GUID setting;
    DWORD length;
    DWORD data;
  } broadcast{n.setting != nullptr ? *n.setting : GUID{}, sizeof(DWORD), n.state};
  return watch.Notice(n.msg, n.wparam,
                      n.setting != nullptr ? reinterpret_cast<LPARAM>(&broadcast) : 0);
}

HWND const kWindow = reinterpret_cast<HWND>(0x7007);

// The rule itself, notice by notice: whether the frames can be seen after each.
TEST(DisplayWatchRule, SeenAfterEachNotice) {
  const struct {
    const char* what;
    bool windows8;
    std::vector<std::pair<Notice, bool>> steps;
  } cases[] = {
      {"the session's display off, then on",
       true,
       {{Power(kSessionDisplayStatus, 0), false}, {Power(kSessionDisplayStatus, 1), true}}},
      {"monitors off, then on (Windows 7)",
       false,
       {{Power(kMonitorPowerOn, 0), false}, {Power(kMonitorPowerOn, 1), true}}},
      {"console disconnected, then connected",
       true,
       {{Session(kConsoleDisconnect), false}, {Session(kConsoleConnect), true}}},
      {"remote session disconnected, then reconnected",
       true,
       {{Session(kRemoteDisconnect), false}, {Session(kRemoteConnect), true}}},
      {"a dimmed display, a lock and an unlock",
       true,
       {{Power(kSessionDisplayStatus, 2), true},
        {Session(7 /* locked */), true},
        {Session(8 /* unlocked */), true}}},
      // The console's monitor sleeps while the remote user watches the clock.
      {"a remote session follows its own display, not the console's",
       true,
       {{Power(kConsoleDisplayState, 0), true},
        {Power(kSessionDisplayStatus, 0), false},
        {Power(kConsoleDisplayState, 1), false},
        {Power(kSessionDisplayStatus, 1), true}}},
      {"Windows 8: the monitors' power off", true, {{Power(kMonitorPowerOn, 0), true}}},
      {"Windows 7: the console's monitor off", false, {{Power(kConsoleDisplayState, 0), true}}},
      {"Windows 7: a session's display off", false, {{Power(kSessionDisplayStatus, 0), true}}},
      {"both must be back",
       true,
       {{Power(kSessionDisplayStatus, 0), false},
        {Session(kRemoteDisconnect), false},
        {Power(kSessionDisplayStatus, 1), false},
        {Session(kRemoteConnect), true}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Registrations r;
    DisplayWatch watch(Recorded(r, c.windows8));
    watch.Start(kWindow);
    EXPECT_EQ(r.power_setting, c.windows8 ? &kSessionDisplayStatus : &kMonitorPowerOn);
    EXPECT_EQ(r.session_window, kWindow);
    EXPECT_TRUE(watch.Seen());
    for (size_t i = 0; i < c.steps.size(); ++i) {
      EXPECT_TRUE(NoticeTo(watch, c.steps[i].first)) << i;
      EXPECT_EQ(watch.Seen(), c.steps[i].second) << i;
    }
    watch.Stop();
    EXPECT_EQ(r.power_unregistered, 1);
    EXPECT_EQ(r.session_unregistered, 1);
  }
}

TEST(DisplayWatchRule, WithoutRegistrationTheFramesAreSeenAndNothingIsUndone) {
  Registrations refused{.succeed = false};
  {
    DisplayWatch watch(Recorded(refused, true));
    watch.Start(kWindow);
    EXPECT_TRUE(watch.Seen());
  }
  EXPECT_EQ(refused.power_unregistered, 0) << "nothing to undo";
  EXPECT_EQ(refused.session_unregistered, 0);
  // A system without the entries at all.
  DisplayWatch bare{DisplayNotifications{}};
  bare.Start(kWindow);
  EXPECT_TRUE(bare.Seen());
  EXPECT_FALSE(bare.Notice(WM_PAINT, 0, 0));
}

// A real OpenGL window: its notices reach the watch through its procedure, and the watch
// stops and resumes its frames and ticks.
TEST(DisplayPower, NoFrameOrTickWhileNobodyCanSeeAndAFrameAtOnceWhenBack) {
  Application().Reset();
  Registrations r;
  auto form = std::make_unique<ProbeGlForm>(RenderContextCalls{}, Recorded(r, true));
  ASSERT_TRUE(PumpUntil([&] { return form->frames >= 2; }, kStateBound_ms));
  EXPECT_EQ(r.session_window, form->Handle());

  Deliver(form->Handle(), Power(kSessionDisplayStatus, 0));
  EXPECT_FALSE(form->Timer.Running());
  const int frames = form->frames;
  const int ticks = form->ticks;
  PumpFor(kDarkSpell_ms);
  EXPECT_EQ(form->frames, frames) << "a frame for a dark screen";
  EXPECT_EQ(form->ticks, ticks) << "a tick for a dark screen";

  Deliver(form->Handle(), Power(kSessionDisplayStatus, 1));
  EXPECT_EQ(form->frames, frames + 1) << "the first frame comes at once";
  EXPECT_TRUE(PumpUntil([&] { return form->frames >= frames + 3; }, kStateBound_ms))
      << "the frames go on";

  form->Close();
  EXPECT_EQ(r.power_unregistered, 1);
  EXPECT_EQ(r.session_unregistered, 1);
  form.reset();
  Application().Reset();
}

// The full-screen saver itself: its frame after the dark spell shows the time of that
// moment (hour hand at 9 o'clock, not at 3 as before), and a key still leaves it.
class FullScreenSaverInTheDark : public OwnWindowTest<TForm1> {
 protected:
  void SetUp() override {
    OwnWindowTest::SetUp();
    // Green hands, no dial, no random picks.
    WriteStoredSettings({10, 10, 0, 3, 1, 3, 0});
  }

  // Green pixels in a strip of the centre row, 60 to 120 pixels from the centre on the
  // given side, as the screen shows them: only the hour hand reaches there.
  static int LitOnSide(int side) {
    const int cx = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int cy = GetSystemMetrics(SM_CYSCREEN) / 2;
    const int left = side > 0 ? cx + 60 : cx - 120;
    const UniqueWindowDc screen(WindowDc{nullptr, GetDC(nullptr)});
    const HDC memory = CreateCompatibleDC(screen.get().dc);
    const HBITMAP strip = CreateCompatibleBitmap(screen.get().dc, 60, 1);
    const HGDIOBJ previous = SelectObject(memory, strip);
    BitBlt(memory, 0, 0, 60, 1, screen.get().dc, left, cy, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 60;
    info.bmiHeader.biHeight = 1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<unsigned char> bgra(60 * 4);
    GetDIBits(memory, strip, 0, 1, bgra.data(), &info, DIB_RGB_COLORS);
    DeleteObject(strip);
    DeleteDC(memory);
    int lit = 0;
    for (size_t i = 0; i < bgra.size(); i += 4) {
      lit += bgra[i + 1] > 80;
    }
    return lit;
  }

  Registrations registrations_;
  // The time the saver's clock shows.
  TimeOfDay now_{3, 0, 0, 0};
};

TEST_F(FullScreenSaverInTheDark, TheFrameAfterTheDarkShowsTheCurrentTimeAndAKeyStillLeaves) {
  FullScreenCalls calls = SystemFullScreenCalls();
  calls.display = Recorded(registrations_, true);
  calls.clock = {[this] { return now_; }, [this] { return now_; }};
  form_ = std::make_unique<TForm1>(std::move(calls));
  ASSERT_TRUE(form_->HandleAllocated());
  ASSERT_TRUE(PumpUntil([this] { return form_->Scene().DialMeshReady; }, kStateBound_ms));
  ASSERT_TRUE(PumpUntil([] { return LitOnSide(+1) > 5; }, kStateBound_ms)) << "3 o'clock";
  EXPECT_EQ(LitOnSide(-1), 0);

  Deliver(form_->Handle(), Power(kSessionDisplayStatus, 0));
  const CaptionState caption = form_->Scene().Caption;
  now_ = {9, 0, 0, 0};
  PumpFor(kDarkSpell_ms);
  EXPECT_EQ(LitOnSide(-1), 0) << "a frame was drawn for a dark screen";
  EXPECT_EQ(form_->Scene().Caption.CaptionAlpha, caption.CaptionAlpha);

  Deliver(form_->Handle(), Power(kSessionDisplayStatus, 1));
  // The frame drawn at once: one step of the pulse from where it stopped, not the steps
  // of the missed frames.
  EXPECT_NEAR(std::abs(form_->Scene().Caption.CaptionAlpha - caption.CaptionAlpha),
              std::abs(caption.CaptionAlphaStep), 1e-5);
  EXPECT_TRUE(PumpUntil([] { return LitOnSide(-1) > 5; }, kStateBound_ms)) << "9 o'clock";
  EXPECT_EQ(LitOnSide(+1), 0);

  Deliver(form_->Handle(), Power(kSessionDisplayStatus, 0));
  SetForegroundWindow(form_->Handle());
  ASSERT_TRUE(PumpUntil([this] { return form_->Active(); }, kStateBound_ms));
  const HWND window = form_->Handle();
  SendMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(PumpUntil([window] { return !IsWindow(window); }, kStateBound_ms))
      << "a key leaves the saver behind a dark screen";
}

}  // namespace
