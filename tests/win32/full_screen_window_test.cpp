#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "saver/Full.h"
#include "saver/Monitors.h"
#include "scene/GlHeaders.h"
#include "scene/win32/SystemOpenGL.h"
#include "settings/win32/RegistryStore.h"
#include "settingswindow/Settings.h"
#include "tests/support/ErrorBoxes.h"
#include "tests/support/WglStandIns.h"
#include "tests/support/Pump.h"
#include "tests/support/TestWindows.h"
#include "ui/Application.h"
#include "win32/SystemError.h"
#include "win32/WinHandles.h"

namespace {

LONG WINAPI RefuseToSetValue(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD) {
  return ERROR_ACCESS_DENIED;
}

// A stored value spoilt as text, as a hand edit of the key would leave it.
void StoreText(const char* name, const char* text) {
  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_ALL_ACCESS, &raw),
            ERROR_SUCCESS);
  const UniqueRegKey key(raw);
  RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                 static_cast<DWORD>(std::strlen(text) + 1));
}

FullScreenCalls WithGl(const RenderContextCalls& gl) {
  FullScreenCalls calls = SystemFullScreenCalls();
  calls.gl = gl;
  return calls;
}

FullScreenCalls RefusingWrites() {
  FullScreenCalls calls = SystemFullScreenCalls();
  calls.registry.SetValue = &RefuseToSetValue;
  return calls;
}

// The saver's window made in this process, with the platform's failures put in through
// the seams.
using FullScreenWindowFaults = OwnWindowTest<TForm1>;

TEST_F(FullScreenWindowFaults, OpenGlOrAContextThatCannotBeHadClosesTheWindowNamingTheCall) {
  const struct {
    RenderContextCalls calls;
    std::string message;
  } cases[] = {
      {{.LoadOpenGL = &MissingSystemOpenGl}, *MissingSystemOpenGl()},
      {{.CreateContext = &RefuseContext},
       "wglCreateContext failed: " + SystemErrorText(ERROR_INVALID_PIXEL_FORMAT)},
      {{.MakeCurrent = &RefuseCurrent},
       "wglMakeCurrent failed: " + SystemErrorText(ERROR_NOT_ENOUGH_MEMORY)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const CapturedErrorBoxes boxes;
    Application().Reset();
    form_ = std::make_unique<TForm1>(WithGl(c.calls));
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{c.message});
    EXPECT_FALSE(form_->HandleAllocated());
    EXPECT_TRUE(Application().Terminated());
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
  }
}

TEST_F(FullScreenWindowFaults, SettingsThatCannotBeWrittenLeaveTheSaverRunning) {
  const CapturedErrorBoxes boxes;
  form_ = std::make_unique<TForm1>(RefusingWrites());
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Failed to set data for 'Brightness'"});
  ASSERT_TRUE(form_->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(form_->Handle()));
  EXPECT_FALSE(Application().Terminated());
  EXPECT_NE(wglGetCurrentContext(), nullptr);
  EXPECT_EQ(form_->Settings().clock.Color, 7);
  EXPECT_EQ(form_->Settings().clock.Brightness, 9);
}

// A value that cannot be read, then a write back that fails: each window shows both, once,
// in that order, and goes on with the seeded value in place of the bad one.
TEST_F(FullScreenWindowFaults, LoadFailuresShowOnceInOrderAndBothWindowsGoOn) {
  const struct {
    const char* what;
    std::function<std::unique_ptr<TGlForm>()> make;
    std::function<const SettingsState&(const TGlForm&)> settings;
    int32_t seeded_color;
  } cases[] = {
      {"full-screen saver", [] { return std::make_unique<TForm1>(RefusingWrites()); },
       [](const TGlForm& f) -> const SettingsState& {
         return static_cast<const TForm1&>(f).Settings();
       },
       7},
      {"settings window",
       [] {
         SettingsWindowCalls calls = SystemSettingsWindowCalls();
         calls.registry.SetValue = &RefuseToSetValue;
         return std::make_unique<TForm2>(std::move(calls));
       },
       [](const TGlForm& f) -> const SettingsState& {
         return static_cast<const TForm2&>(f).Settings();
       },
       5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath);
    WriteStoredSettings({4, 12, 3, 2, 6, 7, 0});
    StoreText("Color", "7");
    Application().Reset();
    std::unique_ptr<TGlForm> form;
    {
      const CapturedErrorBoxes boxes;
      form = c.make();
      EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Invalid data type for 'Color'",
                                                         "Failed to set data for 'Color'"}));
    }
    ASSERT_TRUE(form->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_FALSE(Application().Terminated());
    EXPECT_EQ(c.settings(*form).clock.Color, c.seeded_color);
    EXPECT_EQ(c.settings(*form).clock.Sizes, 12);
    CloseOwnWindow(std::move(form));
  }
}

TEST_F(FullScreenWindowFaults, ActivationAgainKeepsTheWindowsPixelFormat) {
  const CapturedErrorBoxes boxes;
  form_ = std::make_unique<TForm1>(WithGl(format_.Calls()));
  SendMessageA(form_->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
  SendMessageA(form_->Handle(), WM_ACTIVATE, WA_CLICKACTIVE, 0);
  EXPECT_TRUE(boxes.Texts().empty());
  ASSERT_TRUE(form_->HandleAllocated());
  EXPECT_EQ(format_.CallCount(), 1);
  EXPECT_NE(wglGetCurrentContext(), nullptr);
}

using Desk = std::vector<ScreenRect>;

const Desk kOneScreen = {{0, 0, 1024, 768}};
const Desk kLaptopBesideMonitor = {{0, 0, 1024, 768}, {1024, 0, 1824, 600}};
const Desk kMonitorLeftOfPrimary = {{-800, 0, 0, 600}, {0, 0, 1024, 768}};

// The saver's window on a desk the monitor-list seam describes.
class FullScreenWindowOnADesk : public FullScreenWindowFaults {
 protected:
  void Start(const Desk& desk) {
    UseDesk(desk);
    FullScreenCalls calls = SystemFullScreenCalls();
    calls.list_monitors = [this] { return desk_; };
    form_ = std::make_unique<TForm1>(std::move(calls));
    ASSERT_TRUE(form_->HandleAllocated());
    // A frame drawn first leaves the viewport of its last monitor behind.
    ASSERT_TRUE(PumpUntil([this] { return form_->Scene().DialMeshReady; }, kStateBound_ms));
  }
  // The window lists its monitors from here, now and at a display change.
  void UseDesk(const Desk& desk) { desk_ = desk; }
  void ExpectCovers(const RECT& virtual_screen, const std::vector<Viewport>& viewports) {
    RECT window{};
    GetWindowRect(form_->Handle(), &window);
    EXPECT_EQ(window.left, virtual_screen.left);
    EXPECT_EQ(window.top, virtual_screen.top);
    EXPECT_EQ(window.right, virtual_screen.right);
    EXPECT_EQ(window.bottom, virtual_screen.bottom);
    ASSERT_EQ(form_->Viewports().size(), viewports.size());
    for (size_t i = 0; i < viewports.size(); ++i) {
      const Viewport& got = form_->Viewports()[i];
      EXPECT_EQ(got.x, viewports[i].x) << i;
      EXPECT_EQ(got.y, viewports[i].y) << i;
      EXPECT_EQ(got.width, viewports[i].width) << i;
      EXPECT_EQ(got.height, viewports[i].height) << i;
    }
  }

 private:
  Desk desk_;
};

// Windows suggests a rectangle for the monitor the window has moved to; on a desk of
// mixed scaling that rectangle is one monitor's, or off the desk altogether.
TEST_F(FullScreenWindowOnADesk, DpiChangeKeepsTheWindowOverEveryMonitor) {
  Start(kLaptopBesideMonitor);
  RECT off_the_desk{5000, 4000, 5600, 4446};
  SendMessageA(form_->Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&off_the_desk));
  EXPECT_EQ(form_->Dpi(), 144);
  ExpectCovers({0, 0, 1824, 768}, {{0, 0, 1024, 768}, {1024, 168, 800, 600}});
}

TEST_F(FullScreenWindowOnADesk, DisplayChangeCoversTheNewDeskWithOneViewportEach) {
  const struct {
    const char* what;
    Desk before;
    Desk after;
    RECT virtual_screen;
    std::vector<Viewport> viewports;
  } cases[] = {
      {"monitor plugged in",
       kOneScreen,
       kLaptopBesideMonitor,
       {0, 0, 1824, 768},
       {{0, 0, 1024, 768}, {1024, 168, 800, 600}}},
      {"monitor unplugged",
       kLaptopBesideMonitor,
       kOneScreen,
       {0, 0, 1024, 768},
       {{0, 0, 1024, 768}}},
      {"monitor moved left",
       kLaptopBesideMonitor,
       kMonitorLeftOfPrimary,
       {-800, 0, 1024, 768},
       {{0, 168, 800, 600}, {800, 0, 1024, 768}}},
      {"resolution changed", kOneScreen, {{0, 0, 800, 600}}, {0, 0, 800, 600}, {{0, 0, 800, 600}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Start(c.before);
    form_->SceneObjects().KeptStill.valid = true;
    form_->SceneObjects().KeptDial.valid = true;
    UseDesk(c.after);
    const RECT& s = c.virtual_screen;
    SendMessageA(form_->Handle(), WM_DISPLAYCHANGE, 32,
                 MAKELPARAM(s.right - s.left, s.bottom - s.top));
    ExpectCovers(c.virtual_screen, c.viewports);
    // One monitor's frame fills the window; several share the set-up's aspect 1.
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLfloat projection[16] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    if (c.viewports.size() == 1) {
      EXPECT_EQ(viewport[2], s.right - s.left);
      EXPECT_EQ(viewport[3], s.bottom - s.top);
    } else {
      EXPECT_FLOAT_EQ(projection[0], projection[5]);
    }
    EXPECT_FALSE(form_->SceneObjects().KeptStill.valid);
    EXPECT_FALSE(form_->SceneObjects().KeptDial.valid);
    CloseOwnWindow(std::move(form_));
    Application().Reset();
  }
}

}  // namespace
