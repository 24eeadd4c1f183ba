#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "saver/Full.h"
#include "scene/win32/SystemOpenGL.h"
#include "settings/win32/RegistryStore.h"
#include "tests/support/ErrorBoxes.h"
#include "ui/Application.h"
#include "win32/SystemError.h"

namespace {

HGLRC WINAPI RefuseContext(HDC) {
  SetLastError(ERROR_INVALID_PIXEL_FORMAT);
  return nullptr;
}

BOOL WINAPI RefuseCurrent(HDC, HGLRC) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return FALSE;
}

LONG WINAPI RefuseToSetValue(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD) {
  return ERROR_ACCESS_DENIED;
}

// The saver's window made in this process, with the platform's failures put in through
// the seams.
class FullScreenWindowFaults : public testing::Test {
 protected:
  void SetUp() override {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath);
    AppSettings() = {};
    Application().Reset();
  }
  void TearDown() override {
    Wgl() = {};
    SystemOpenGlLoad() = &LoadSystemOpenGL;
    RegistrySetValue() = &RegSetValueExA;
    if (form_ && form_->HandleAllocated()) {
      form_->Close();
      ShowCursor(TRUE);
    }
    form_.reset();
    Application().Reset();
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath);
  }

  std::unique_ptr<TForm1> form_;
};

TEST_F(FullScreenWindowFaults, ContextThatCannotBeMadeClosesTheWindowNamingTheCall) {
  const struct {
    WglCalls calls;
    std::string message;
  } cases[] = {
      {{&RefuseContext, &wglMakeCurrent},
       "wglCreateContext failed: " + SystemErrorText(ERROR_INVALID_PIXEL_FORMAT)},
      {{&wglCreateContext, &RefuseCurrent},
       "wglMakeCurrent failed: " + SystemErrorText(ERROR_NOT_ENOUGH_MEMORY)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const CapturedErrorBoxes boxes;
    Application().Reset();
    Wgl() = c.calls;
    form_ = std::make_unique<TForm1>();
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{c.message});
    EXPECT_FALSE(form_->HandleAllocated());
    EXPECT_TRUE(Application().Terminated());
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
  }
}

std::string MissingSystemOpenGl() {
  return "Loading opengl32.dll from the system folder failed: " +
         SystemErrorText(ERROR_MOD_NOT_FOUND);
}

TEST_F(FullScreenWindowFaults, SystemOpenGlThatCannotBeLoadedClosesTheWindowNamingIt) {
  const CapturedErrorBoxes boxes;
  SystemOpenGlLoad() = &MissingSystemOpenGl;
  form_ = std::make_unique<TForm1>();
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{MissingSystemOpenGl()});
  EXPECT_FALSE(form_->HandleAllocated());
  EXPECT_TRUE(Application().Terminated());
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
}

TEST_F(FullScreenWindowFaults, SettingsThatCannotBeWrittenLeaveTheSaverRunning) {
  const CapturedErrorBoxes boxes;
  RegistrySetValue() = &RefuseToSetValue;
  form_ = std::make_unique<TForm1>();
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Failed to set data for 'Brightness'"});
  ASSERT_TRUE(form_->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(form_->Handle()));
  EXPECT_FALSE(Application().Terminated());
  EXPECT_NE(wglGetCurrentContext(), nullptr);
  EXPECT_EQ(AppSettings().clock.Color, 7);
  EXPECT_EQ(AppSettings().clock.Brightness, 9);
}

}  // namespace
