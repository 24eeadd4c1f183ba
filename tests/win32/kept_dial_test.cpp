// The kept dial under Wine: a frame put back from the copy is, byte for byte, the
// frame drawn in the window's real back buffer, for every static style.

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "scene/FramebufferBlit.h"
#include "scene/KeptDial.h"
#include "scene/SceneState.h"
#include "scene/win32/RenderContext.h"
#include "settings/ClockSettings.h"
#include "ui/Form.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

class DialWindow : public TForm {
 public:
  DialWindow() {
    FormDescription d;
    d.caption = "kept dial test";
    d.style = WS_POPUP | WS_VISIBLE;
    d.width = kWidth;
    d.height = kHeight;
    d.black_background = true;
    CreateHandle(d);
    Show();
  }
};

std::vector<uint8_t> DialFrame(const RenderContext& context, int32_t style) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  DrawDialAfterClear(style);
  Scene().DialMeshReady = true;
  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  SwapBuffers(context.Dc());
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
  DialWindow window;
  RenderContext context;
  const GlProcLookup wgl = SetGlProcLookup(nullptr);
  for (bool copy : {true, false}) {
    SetGlProcLookup(copy ? wgl : nullptr);
    for (int32_t style = 2; style <= 10; ++style) {
      SCOPED_TRACE(testing::Message() << "style " << style << (copy ? ", copy" : ", quad"));
      Scene() = {};
      Scene().LightLevel = 9;
      AppSettings().DialRGB = {0.3f, 0.7f, 0.9f};
      ASSERT_TRUE(context.Setup(window.Handle(), {0, 0, kWidth, kHeight}, std::nullopt).ok());
      const std::vector<uint8_t> drawn = DialFrame(context, style);
      ASSERT_TRUE(Scene().KeptDial.valid);
      EXPECT_EQ(Scene().KeptDial.copy.CopiesWithoutDrawing(), copy);
      EXPECT_TRUE(AnyColour(drawn));
      EXPECT_EQ(DialFrame(context, style), drawn);
      EXPECT_EQ(DialFrame(context, style), drawn);
    }
  }
  SetGlProcLookup(wgl);
}

}  // namespace
