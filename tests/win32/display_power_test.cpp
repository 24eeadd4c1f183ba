#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "base/ClockSource.h"
#include "glwindow/GlForm.h"
#include "saver/Full.h"
#include "settings/win32/RegistryStore.h"
#include "tests/support/Pump.h"
#include "ui/Application.h"

// Frames only for a display that someone can see: the display's power and the session's
// notifications, delivered as Windows delivers them, stop the frames and the ticks, and
// bring a frame at once when the display is back.

namespace {

constexpr int kSide = 64;
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
Registrations g_registrations;
HANDLE const kPowerHandle = reinterpret_cast<HANDLE>(0x5151);

HANDLE WINAPI RegisterPower(HANDLE, const GUID* setting, DWORD) {
  g_registrations.power_setting = setting;
  return g_registrations.succeed ? kPowerHandle : nullptr;
}
BOOL WINAPI UnregisterPower(HANDLE handle) {
  g_registrations.power_unregistered += handle == kPowerHandle;
  return TRUE;
}
BOOL WINAPI RegisterSession(HWND window, DWORD) {
  g_registrations.session_window = window;
  return g_registrations.succeed ? TRUE : FALSE;
}
BOOL WINAPI UnregisterSession(HWND) {
  ++g_registrations.session_unregistered;
  return TRUE;
}

DisplayNotifications Recorded(bool windows8) {
  DisplayNotifications calls;
  calls.RegisterPowerSetting = &RegisterPower;
  calls.UnregisterPowerSetting = &UnregisterPower;
  calls.RegisterSession = &RegisterSession;
  calls.UnregisterSession = &UnregisterSession;
  calls.Windows8OrLater = windows8 ? +[] { return true; } : +[] { return false; };
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

// An OpenGL window that counts its frames and its ticks. It previews messages of its own
// without passing them on, as a window may: the notices reach the base all the same.
class CountingGlForm : public TGlForm {
 public:
  explicit CountingGlForm(DisplayNotifications display) : TGlForm(std::move(display)) {
    FormDescription d;
    d.caption = "display probe";
    d.style = WS_POPUP;
    d.width = kSide;
    d.height = kSide;
    d.black_background = true;
    CreateHandle(d);
    SetupContext(Handle(), {0, 0, kSide, kSide}, std::nullopt, 5);
    StartFrames();
  }

  int frames = 0;
  int ticks = 0;
  using TGlForm::Timer;

 protected:
  void TimerTimer(TTimer* sender) override {
    ++ticks;
    TGlForm::TimerTimer(sender);
  }
  void DrawFrame() override { ++frames; }
  bool PreviewMessage(UINT, WPARAM, LPARAM, LRESULT&) override { return false; }
};

class DisplayPower : public testing::Test {
 protected:
  void SetUp() override {
    g_registrations = {};
    Application().Reset();
  }
  void TearDown() override {
    form_.reset();
    Application().Reset();
  }

  CountingGlForm& Start(bool windows8 = true) {
    form_ = std::make_unique<CountingGlForm>(Recorded(windows8));
    EXPECT_TRUE(PumpUntil([this] { return form_->frames >= 2; }, kStateBound_ms));
    return *form_;
  }

  std::unique_ptr<CountingGlForm> form_;
};

TEST_F(DisplayPower, NoFrameOrTickWhileNobodyCanSeeAndAFrameAtOnceWhenBack) {
  const struct {
    const char* what;
    bool windows8;
    Notice off;
    Notice on;
  } cases[] = {
      {"the session's display off, then on", true, Power(kSessionDisplayStatus, 0),
       Power(kSessionDisplayStatus, 1)},
      {"monitors off, then on (Windows 7)", false, Power(kMonitorPowerOn, 0),
       Power(kMonitorPowerOn, 1)},
      {"console disconnected, then connected", true, Session(kConsoleDisconnect),
       Session(kConsoleConnect)},
      {"remote session disconnected, then reconnected", true, Session(kRemoteDisconnect),
       Session(kRemoteConnect)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Application().Reset();
    CountingGlForm& form = Start(c.windows8);
    EXPECT_EQ(g_registrations.power_setting,
              c.windows8 ? &kSessionDisplayStatus : &kMonitorPowerOn);
    EXPECT_EQ(g_registrations.session_window, form.Handle());

    Deliver(form.Handle(), c.off);
    EXPECT_FALSE(form.Timer.Running());
    const int frames = form.frames;
    const int ticks = form.ticks;
    PumpFor(kDarkSpell_ms);
    EXPECT_EQ(form.frames, frames) << "a frame for a dark screen";
    EXPECT_EQ(form.ticks, ticks) << "a tick for a dark screen";

    Deliver(form.Handle(), c.on);
    EXPECT_EQ(form.frames, frames + 1) << "the first frame comes at once";
    EXPECT_TRUE(PumpUntil([&] { return form.frames >= frames + 3; }, kStateBound_ms))
        << "the frames go on";

    form.Close();
    EXPECT_EQ(g_registrations.power_unregistered, 1);
    EXPECT_EQ(g_registrations.session_unregistered, 1);
    form_.reset();
    g_registrations = {};
  }
}

TEST_F(DisplayPower, ADimmedDisplayAndOtherSessionEventsKeepTheFramesComing) {
  CountingGlForm& form = Start();
  const Notice notices[] = {Power(kSessionDisplayStatus, 2), Session(7 /* locked */),
                            Session(8 /* unlocked */)};
  for (const Notice& n : notices) {
    Deliver(form.Handle(), n);
    const int frames = form.frames;
    EXPECT_TRUE(PumpUntil([&] { return form.frames >= frames + 2; }, kStateBound_ms)) << n.wparam;
  }
}

TEST_F(DisplayPower, ARemoteSessionFollowsItsOwnDisplayNotTheConsoles) {
  CountingGlForm& form = Start(/*windows8=*/true);
  // The console's monitor sleeps while the remote user watches.
  Deliver(form.Handle(), Power(kConsoleDisplayState, 0));
  EXPECT_TRUE(form.Timer.Running());
  int frames = form.frames;
  EXPECT_TRUE(PumpUntil([&] { return form.frames >= frames + 3; }, kStateBound_ms))
      << "the console's monitor stopped a remote session's clock";

  // The remote session's own display goes off: the frames stop, whatever the console does.
  Deliver(form.Handle(), Power(kSessionDisplayStatus, 0));
  Deliver(form.Handle(), Power(kConsoleDisplayState, 1));
  EXPECT_FALSE(form.Timer.Running());
  frames = form.frames;
  PumpFor(kDarkSpell_ms);
  EXPECT_EQ(form.frames, frames) << "the console's monitor woke a dark session";

  Deliver(form.Handle(), Power(kSessionDisplayStatus, 1));
  EXPECT_EQ(form.frames, frames + 1);
}

// Besides the console's monitor on Windows 8 and later (above).
TEST_F(DisplayPower, NoOtherDisplaySettingStopsTheFrames) {
  const struct {
    const char* what;
    bool windows8;
    const GUID* other;
  } cases[] = {
      {"Windows 8: the monitors' power off", true, &kMonitorPowerOn},
      {"Windows 7: the console's monitor off", false, &kConsoleDisplayState},
      {"Windows 7: a session's display off", false, &kSessionDisplayStatus},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Application().Reset();
    CountingGlForm& form = Start(c.windows8);
    Deliver(form.Handle(), Power(*c.other, 0));
    const int frames = form.frames;
    EXPECT_TRUE(PumpUntil([&] { return form.frames >= frames + 3; }, kStateBound_ms));
    form.Close();
    form_.reset();
  }
}

TEST_F(DisplayPower, BothMustBeBackBeforeTheFramesResume) {
  CountingGlForm& form = Start();
  Deliver(form.Handle(), Power(kSessionDisplayStatus, 0));
  Deliver(form.Handle(), Session(kRemoteDisconnect));
  Deliver(form.Handle(), Power(kSessionDisplayStatus, 1));
  const int frames = form.frames;
  PumpFor(kDarkSpell_ms);
  EXPECT_EQ(form.frames, frames) << "the session still has no display";
  Deliver(form.Handle(), Session(kRemoteConnect));
  EXPECT_EQ(form.frames, frames + 1);
}

TEST_F(DisplayPower, RegistrationThatFailsLeavesTheFramesComing) {
  g_registrations.succeed = false;
  CountingGlForm& form = Start();
  const int frames = form.frames;
  EXPECT_TRUE(PumpUntil([&] { return form.frames >= frames + 3; }, kStateBound_ms));
  form.Close();
  EXPECT_EQ(g_registrations.power_unregistered, 0) << "nothing to undo";
  EXPECT_EQ(g_registrations.session_unregistered, 0);

  // A system without the entries at all.
  Application().Reset();
  form_ = std::make_unique<CountingGlForm>(DisplayNotifications{});
  EXPECT_TRUE(PumpUntil([this] { return form_->frames >= 3; }, kStateBound_ms));
}

// The full-screen saver itself: its frame after the dark spell shows the time of that
// moment (hour hand at 9 o'clock, not at 3 as before), and a key still leaves it.
class FullScreenSaverInTheDark : public testing::Test {
 protected:
  void SetUp() override {
    g_registrations = {};
    Application().Reset();
    // Green hands, no dial, no random picks.
    WriteStoredSettings({10, 10, 0, 3, 1, 3, 0});
  }
  void TearDown() override {
    Clock().Unpin();
    if (form_ && form_->HandleAllocated()) {
      form_->Close();
    }
    ShowCursor(TRUE);
    form_.reset();
    Application().Reset();
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath);
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

  std::unique_ptr<TForm1> form_;
};

TEST_F(FullScreenSaverInTheDark, TheFrameAfterTheDarkShowsTheCurrentTimeAndAKeyStillLeaves) {
  Clock().Pin({3, 0, 0, 0});
  form_ = std::make_unique<TForm1>(Recorded(true));
  ASSERT_TRUE(form_->HandleAllocated());
  ASSERT_TRUE(PumpUntil([this] { return form_->Scene().DialMeshReady; }, kStateBound_ms));
  ASSERT_TRUE(PumpUntil([] { return LitOnSide(+1) > 5; }, kStateBound_ms)) << "3 o'clock";
  EXPECT_EQ(LitOnSide(-1), 0);

  Deliver(form_->Handle(), Power(kSessionDisplayStatus, 0));
  const CaptionState caption = form_->Scene().Caption;
  Clock().Pin({9, 0, 0, 0});
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
