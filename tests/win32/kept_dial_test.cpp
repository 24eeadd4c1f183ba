// The kept dial under Wine: a frame put back from the copy is, byte for byte, the
// frame drawn in the window's real back buffer, for every static style.

#include <gtest/gtest.h>

// Winsock's header (through WinHandles.h) must come before <windows.h>, which GL needs.
#include "win32/WinHandles.h"

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "base/RandomGenerator.h"
#include "scene/FramebufferBlit.h"
#include "scene/FrameInputs.h"
#include "scene/KeptDial.h"
#include "scene/SceneFrames.h"
#include "scene/SceneState.h"
#include "scene/win32/RenderContext.h"
#include "settings/ClockSettings.h"
#include "tests/support/TestWindows.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

// A window's own state and settings, drawn from at a fixed time.
struct DialScene {
  SettingsState settings;
  SceneState state;
  RandomGenerator random;

  FrameInputs Inputs() const { return ReadFrameInputs(settings, state.LightLevel, {10, 8, 30, 0}); }
};

std::vector<uint8_t> DialFrame(RenderContext& context, DialScene& scene) {
  glClear(GL_COLOR_BUFFER_BIT);
  DrawDialAfterClear(scene.Inputs(), {scene.state, context.Objects(), scene.random});
  scene.state.DialMeshReady = true;
  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  context.Present();
  return pixels;
}

bool AnyColour(const std::vector<uint8_t>& rgba) {
  for (size_t i = 0; i < rgba.size(); i += 4) {
    if (rgba[i] != 0 || rgba[i + 1] != 0 || rgba[i + 2] != 0) return true;
  }
  return false;
}

// Put back by the framebuffer copy that Wine's OpenGL offers, and by the textured quad
// of a context without it.
TEST(KeptDialUnderWine, PutBackFramesAreTheDrawnFrame) {
  ProbeWindow window{kWidth, kHeight};
  RenderContext context;
  for (bool copy : {true, false}) {
    for (int32_t style = 2; style <= 10; ++style) {
      SCOPED_TRACE(testing::Message() << "style " << style << (copy ? ", copy" : ", quad"));
      DialScene scene;
      scene.state.LightLevel = 9;
      scene.settings.clock.Color = style;
      scene.settings.DialRGB = {0.3f, 0.7f, 0.9f};
      ASSERT_TRUE(context.Setup(window.Handle(), {0, 0, kWidth, kHeight}, std::nullopt, 9).ok());
      context.Objects().lookup = copy ? &RenderContext::GlProcAddress : nullptr;
      const std::vector<uint8_t> drawn = DialFrame(context, scene);
      ASSERT_TRUE(context.Objects().KeptDial.valid);
      EXPECT_EQ(context.Objects().KeptDial.copy.CopiesWithoutDrawing(), copy);
      EXPECT_TRUE(AnyColour(drawn));
      EXPECT_EQ(DialFrame(context, scene), drawn);
      EXPECT_EQ(DialFrame(context, scene), drawn);
    }
  }
}

// A second context that shares the first one's textures and display lists would still
// find whatever the first context's end left behind; re-making the context deletes the
// kept copies' textures and the caption font's lists first.
TEST(KeptDialUnderWine, ARemadeContextLeavesNoTextureOrListBehind) {
  ProbeWindow window{kWidth, kHeight};
  ProbeWindow other_window{kWidth, kHeight};
  RenderContext context;
  DialScene scene;
  scene.state.LightLevel = 9;
  scene.settings.clock = {9, 10, 7, 1, 3, 5, 0};
  scene.settings.DialRGB = {0.3f, 0.7f, 0.9f};
  ASSERT_TRUE(context.Setup(window.Handle(), {0, 0, kWidth, kHeight}, CaptionFont{-20}, 9).ok());

  const UniqueWindowDc other_dc(WindowDc{other_window.Handle(), GetDC(other_window.Handle())});
  ASSERT_TRUE(SetupPixelFormat(other_dc.get().dc).ok());
  const UniqueGlContext other(wglCreateContext(other_dc.get().dc));
  ASSERT_TRUE(other);
  ASSERT_TRUE(wglShareLists(context.Rc(), other.get())) << GetLastError();

  DrawSaverScene(scene.Inputs(), {scene.state, context.Objects(), scene.random}, kWidth, kHeight);
  const GLuint dial_texture = context.Objects().KeptDial.copy.Texture();
  const GLuint still_texture = context.Objects().KeptStill.copy.Texture();
  const GLuint lists = context.FontListBase();
  ASSERT_TRUE(glIsTexture(dial_texture) && glIsTexture(still_texture));
  ASSERT_TRUE(glIsList(lists));

  ASSERT_TRUE(context.Setup(window.Handle(), {0, 0, kWidth, kHeight}, CaptionFont{-20}, 9).ok());
  EXPECT_FALSE(context.Objects().KeptDial.valid || context.Objects().KeptStill.valid);
  context.Release();
  ASSERT_TRUE(wglMakeCurrent(other_dc.get().dc, other.get()));
  EXPECT_FALSE(glIsTexture(dial_texture));
  EXPECT_FALSE(glIsTexture(still_texture));
  EXPECT_FALSE(glIsList(lists));
  wglMakeCurrent(nullptr, nullptr);
}

}  // namespace
