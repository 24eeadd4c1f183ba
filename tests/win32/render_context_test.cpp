#include <gtest/gtest.h>

// Winsock's header (through WinHandles.h) must come before <windows.h>, which GL needs.
#include "win32/WinHandles.h"

#include <GL/gl.h>

#include <cmath>
#include <numbers>
#include <string>

#include "scene/win32/RenderContext.h"
#include "scene/SceneState.h"
#include "tests/support/TestWindows.h"
#include "tests/support/WglStandIns.h"
#include "win32/SystemError.h"

namespace {

struct Vec4 {
  GLfloat v[4];
};

Vec4 LightValue(GLenum light, GLenum name) {
  Vec4 out{};
  glGetLightfv(light, name, out.v);
  return out;
}

void ExpectGrey(const Vec4& c, float intensity) {
  EXPECT_FLOAT_EQ(c.v[0], intensity);
  EXPECT_FLOAT_EQ(c.v[1], intensity);
  EXPECT_FLOAT_EQ(c.v[2], intensity);
  EXPECT_FLOAT_EQ(c.v[3], 1.0f);
}

class RenderContextOnAWindow : public testing::Test {
 protected:
  ProbeWindow window_;
  RenderContext context_;
};

TEST(PixelFormatRequest, FillsTheFortyByteDescriptor) {
  const PIXELFORMATDESCRIPTOR pfd = ScenePixelFormatRequest(24);
  EXPECT_EQ(sizeof(pfd), 40u);
  EXPECT_EQ(pfd.nSize, 40);
  EXPECT_EQ(pfd.nVersion, 1);
  EXPECT_EQ(pfd.dwFlags,
            static_cast<DWORD>(PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER));
  EXPECT_EQ(pfd.iPixelType, PFD_TYPE_RGBA);
  EXPECT_EQ(pfd.cColorBits, 24);
  EXPECT_EQ(pfd.cDepthBits, 32);
  EXPECT_EQ(pfd.cStencilBits, 0);
  EXPECT_EQ(pfd.cAlphaBits, 0);
  EXPECT_EQ(pfd.cAccumBits, 0);
  EXPECT_EQ(pfd.iLayerType, PFD_MAIN_PLANE);
  EXPECT_EQ(pfd.dwVisibleMask, 0u);
}

TEST(PixelFormatRequest, SixteenBitScreenAsksForSixteenAndDepthStaysThirtyTwo) {
  const PIXELFORMATDESCRIPTOR pfd = ScenePixelFormatRequest(16);
  EXPECT_EQ(pfd.cColorBits, 16);
  EXPECT_EQ(pfd.cDepthBits, 32);
  // Only the low byte of the screen's value is used.
  EXPECT_EQ(ScenePixelFormatRequest(0x120).cColorBits, 0x20);
}

TEST_F(RenderContextOnAWindow, GetsAPixelFormatAndACurrentContext) {
  ASSERT_TRUE(context_.Setup(window_.Handle(), {0, 0, 320, 240}, std::nullopt, 0).ok());
  EXPECT_NE(GetPixelFormat(context_.Dc()), 0);
  EXPECT_EQ(wglGetCurrentContext(), context_.Rc());
  PIXELFORMATDESCRIPTOR chosen{};
  DescribePixelFormat(context_.Dc(), GetPixelFormat(context_.Dc()), sizeof(chosen), &chosen);
  EXPECT_TRUE(chosen.dwFlags & PFD_SUPPORT_OPENGL);
  EXPECT_TRUE(chosen.dwFlags & PFD_DOUBLEBUFFER);
}

TEST_F(RenderContextOnAWindow, SetsCapabilitiesBlendAndCamera) {
  ASSERT_TRUE(context_.Setup(window_.Handle(), {0, 0, 320, 240}, std::nullopt, 0).ok());
  EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
  EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  GLint value = 0;
  glGetIntegerv(GL_BLEND_SRC, &value);
  EXPECT_EQ(value, GL_SRC_ALPHA);
  glGetIntegerv(GL_BLEND_DST, &value);
  EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);
  glGetIntegerv(GL_MATRIX_MODE, &value);
  EXPECT_EQ(value, GL_PROJECTION);

  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 320);
  EXPECT_EQ(viewport[3], 240);

  // Aspect 1: the projection scales x and y alike; the model-view stays the identity.
  GLfloat projection[16] = {};
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  EXPECT_FLOAT_EQ(projection[0], projection[5]);
  EXPECT_NEAR(projection[5], 1.0f / std::tan(22.5f * std::numbers::pi_v<float> / 180.0f), 1e-5);
  // The camera at z = 5 moves the origin 5 units into the screen.
  EXPECT_NEAR(projection[15], 5.0f, 1e-5);
  GLfloat modelview[16] = {};
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(modelview[i], (i % 5 == 0) ? 1.0f : 0.0f);
  }

  GLfloat shininess = 0;
  glGetMaterialfv(GL_BACK, GL_SHININESS, &shininess);
  EXPECT_EQ(shininess, 15.0f);
  GLfloat front_shininess = -1;
  glGetMaterialfv(GL_FRONT, GL_SHININESS, &front_shininess);
  EXPECT_EQ(front_shininess, 0.0f);
}

TEST_F(RenderContextOnAWindow, LightsFollowTheLevel) {
  const struct {
    int level;
    float intensity;
  } cases[] = {{0, 0.0f}, {7, 0.35f}, {9, 0.45f}, {10, 0.5f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.level);
    ASSERT_TRUE(context_.Setup(window_.Handle(), {0, 0, 320, 240}, std::nullopt, c.level).ok());
    for (GLenum light : {GL_LIGHT0, GL_LIGHT1}) {
      ExpectGrey(LightValue(light, GL_DIFFUSE), c.intensity);
      ExpectGrey(LightValue(light, GL_SPECULAR), c.intensity);
      ExpectGrey(LightValue(light, GL_AMBIENT), 0.0f);
    }
  }
}

TEST_F(RenderContextOnAWindow, LightPositionsAreInFrontOfTheDial) {
  ASSERT_TRUE(context_.Setup(window_.Handle(), {0, 0, 320, 240}, std::nullopt, 0).ok());
  // Given with the model-view at the identity, so stored as given.
  const Vec4 p0 = LightValue(GL_LIGHT0, GL_POSITION);
  const Vec4 p1 = LightValue(GL_LIGHT1, GL_POSITION);
  const float e0[4] = {1, 1, 5, 1};
  const float e1[4] = {-1, 1, 5, 1};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(p0.v[i], e0[i]);
    EXPECT_FLOAT_EQ(p1.v[i], e1[i]);
  }
}

TEST_F(RenderContextOnAWindow, LevelUpdateChangesColoursNotPositions) {
  SceneState state;
  state.LightLevel = 9;
  ASSERT_TRUE(context_.Setup(window_.Handle(), {0, 0, 320, 240}, std::nullopt, 9).ok());
  UpdateLightLevel(state, 3);
  EXPECT_EQ(state.LightLevel, 3);
  for (GLenum light : {GL_LIGHT0, GL_LIGHT1}) {
    ExpectGrey(LightValue(light, GL_DIFFUSE), 0.15f);
    ExpectGrey(LightValue(light, GL_SPECULAR), 0.15f);
  }
  EXPECT_FLOAT_EQ(LightValue(GL_LIGHT1, GL_POSITION).v[0], -1.0f);
  EXPECT_FLOAT_EQ(LightValue(GL_LIGHT0, GL_POSITION).v[2], 5.0f);
}

TEST_F(RenderContextOnAWindow, SettingUpAgainReplacesTheEarlierContext) {
  ASSERT_TRUE(context_.Setup(window_.Handle(), {0, 0, 320, 240}, CaptionFont{-20}, 0).ok());
  const HGLRC first = context_.Rc();
  EXPECT_NE(context_.FontListBase(), 0u);
  EXPECT_TRUE(glIsList(context_.FontListBase() + ('A' - 32)));
  ASSERT_TRUE(context_.Setup(window_.Handle(), {0, 0, 320, 240}, CaptionFont{-20}, 0).ok());
  EXPECT_EQ(wglGetCurrentContext(), context_.Rc());
  EXPECT_NE(context_.FontListBase(), 0u);
  // The earlier context was deleted: making it current fails.
  if (first != context_.Rc()) {
    EXPECT_FALSE(wglMakeCurrent(context_.Dc(), first));
    ASSERT_TRUE(context_.MakeCurrent());
  }
}

TEST_F(RenderContextOnAWindow, MadeCurrentAgainAndReleasedLeavesNoContextCurrent) {
  ASSERT_TRUE(context_.Setup(window_.Handle(), {0, 0, 320, 240}, std::nullopt, 0).ok());
  wglMakeCurrent(nullptr, nullptr);
  ASSERT_TRUE(context_.MakeCurrent());
  EXPECT_EQ(wglGetCurrentContext(), context_.Rc());
  context_.Release();
  EXPECT_FALSE(context_.MakeCurrent());
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_EQ(context_.Rc(), nullptr);
  EXPECT_EQ(context_.Dc(), nullptr);
  context_.Release();
}

// Each system call of the context's table refused in turn: the set-up stops there, names
// it, and leaves nothing current or held.
TEST(RenderContextCalls, ARefusedCallStopsTheSetupNamingIt) {
  const struct {
    RenderContextCalls calls;
    std::string failure;
  } cases[] = {
      {{.LoadOpenGL = &MissingSystemOpenGl}, *MissingSystemOpenGl()},
      {{.SetPixelFormat = &RefuseFormat}, "SetPixelFormat failed"},
      {{.CreateContext = &RefuseContext},
       "wglCreateContext failed: " + SystemErrorText(ERROR_INVALID_PIXEL_FORMAT)},
      {{.MakeCurrent = &RefuseCurrent},
       "wglMakeCurrent failed: " + SystemErrorText(ERROR_NOT_ENOUGH_MEMORY)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failure);
    // A window of its own: a format set by an earlier case would skip the format call.
    ProbeWindow window;
    RenderContext context(c.calls);
    const SetupResult result =
        context.Setup(window.Handle(), {0, 0, 320, 240}, CaptionFont{-20}, 5);
    EXPECT_EQ(result.failure, c.failure);
    EXPECT_FALSE(result.context_ready);
    EXPECT_EQ(context.Rc(), nullptr);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_EQ(context.FontListBase(), 0u);
  }
}

TEST_F(RenderContextOnAWindow, FullScreenResizeUsesTheWindowAspect) {
  ASSERT_TRUE(context_.Setup(window_.Handle(), {0, 0, 320, 240}, std::nullopt, 0).ok());
  ResizeFullScreen(1024, 768);
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 1024);
  EXPECT_EQ(viewport[3], 768);
  GLfloat projection[16] = {};
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  EXPECT_NEAR(projection[5] / projection[0], 1024.0f / 768.0f, 1e-5);
  EXPECT_EQ(SettingsViewport(400, 500).y, 100);
  EXPECT_EQ(SettingsViewport(400, 500).height, 370);
}

}  // namespace
