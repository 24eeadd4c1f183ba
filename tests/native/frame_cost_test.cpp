// The levers that make a frame cheaper must leave every pixel and every traced call as
// it was: batched quads, invisible quads left out, and the kept static dial.

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <cmath>
#include <functional>
#include <string_view>
#include <limits>
#include <vector>

#include "SceneTrace.h"
#include "scene/FramebufferBlit.h"
#include "scene/KeptDial.h"
#include "scene/QuadBatch.h"
#include "scene/SceneFrames.h"
#include "settings/setup/WindowSetup.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/SceneRender.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

QuadBatch OneQuad(float a0, float a1, float a2, float a3, bool flat = false) {
  QuadBatch batch;
  batch.Start(flat, ViewReach::Inside);
  const float alphas[4] = {a0, a1, a2, a3};
  const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  for (int i = 0; i < 4; ++i) {
    batch.Add({1.0f, 0.5f, 0.25f, alphas[i], corners[i][0], corners[i][1], 0.5f});
  }
  return batch;
}

TEST(InvisibleQuads, OnlyFourAlphasAtOrBelowZeroAreLeftOut) {
  struct Case {
    float a[4];
    bool invisible;
  } cases[] = {
      {{0, 0, 0, 0}, true},      {{-1, -0.5f, 0, -16.1f}, true},  // lit alpha is clamped to 0
      {{0, 0, 0, 1e-7f}, false}, {{0.7f, 0, 0, 0}, false},       {{0, kNaN, 0, 0}, false},
  };
  for (const Case& c : cases) {
    const QuadBatch batch = OneQuad(c.a[0], c.a[1], c.a[2], c.a[3]);
    EXPECT_EQ(QuadIsInvisible(batch.Vertices().data()), c.invisible)
        << c.a[0] << " " << c.a[1] << " " << c.a[2] << " " << c.a[3];
  }
}

// A batch is traced as the immediate-mode block it replaces, left-out quads included.
TEST_F(SceneTest, ABatchIsTracedAsItsPerVertexCalls) {
  for (bool flat : {false, true}) {
    const QuadBatch batch = OneQuad(0, 0, 0, 0, flat);
    const std::vector<GlCall> calls = Trace([&] { DrawQuadBatch(batch); });
    ASSERT_EQ(calls.size(), 10u);
    EXPECT_EQ(FormatGlCall(calls.front()), "glBegin 7");
    EXPECT_EQ(FormatGlCall(calls[1]), "glColor4f 1 0.5 0.25 0");
    EXPECT_EQ(FormatGlCall(calls[2]), flat ? "glVertex2f -1 -1" : "glVertex3f -1 -1 0.5");
    EXPECT_EQ(FormatGlCall(calls.back()), "glEnd");
  }
}

// The premise of leaving quads out: under the scene's lighting and blending, a quad
// with all four alphas at or below 0 changes nothing, and a drawn one does.
TEST_F(SceneTest, AQuadLeftOutWouldNotHaveChangedAPixel) {
  const auto drawn_in_immediate_mode = [this](float alpha) {
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const QuadBatch batch = OneQuad(alpha, alpha, alpha, alpha);
    glBegin(GL_QUADS);
    for (const QuadVertex& v : batch.Vertices()) {
      glColor4f(v.red, v.green, v.blue, v.alpha);
      glVertex3f(v.x, v.y, v.z);
    }
    glEnd();
    return context_.Read();
  };
  const Image background = drawn_in_immediate_mode(0.0f);
  EXPECT_EQ(drawn_in_immediate_mode(-1.0f).rgb, background.rgb);
  EXPECT_EQ(drawn_in_immediate_mode(-16.1f).rgb, background.rgb);
  EXPECT_NE(drawn_in_immediate_mode(0.01f).rgb, background.rgb);
}

TEST(FramebufferCopy, ExtensionsAreMatchedAsWholeNames) {
  const struct {
    const char* list;
    bool found;
  } cases[] = {
      {"GL_EXT_framebuffer_blit", true},
      {"GL_ARB_multitexture GL_EXT_framebuffer_blit GL_EXT_abgr", true},
      {"GL_ARB_multitexture GL_EXT_framebuffer_blit", true},
      {"GL_EXT_framebuffer_blit_layers GL_EXT_abgr", false},
      {"GL_NV_EXT_framebuffer_blit", false},
      {"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NamesExtension(c.list, "GL_EXT_framebuffer_blit"), c.found) << c.list;
  }
}

RenderOptions SaverFrames(int32_t dial, int frames, int width = 160, int height = 120) {
  RenderOptions o;
  o.window = SceneWindow::Saver;
  o.dial = dial;
  o.hands = 3;
  o.time = TimeOfDay{10, 8, 37, 0};
  o.seed = 4242;
  o.frames = frames;
  o.width = width;
  o.height = height;
  return o;
}

// Every frame of every static style, put back from the kept copy, is the frame that
// drawing it again gives, in the saver and in the settings window (whose viewport
// leaves rows above and below).
TEST(KeptDial, FramesAreTheSameAsDrawnOnes) {
  for (SceneWindow window : {SceneWindow::Saver, SceneWindow::Settings}) {
    for (int32_t dial = 1; dial <= 10; ++dial) {
      RenderOptions o = SaverFrames(dial, 3);
      o.window = window;
      const RenderResult kept = RenderScene(o, false);
      // Traced frames are all drawn: tracing turns keeping off.
      const RenderResult drawn = RenderScene(o, true);
      EXPECT_EQ(kept.image.rgb, drawn.image.rgb) << "dial " << dial;
    }
  }
}

// Each test runs twice: with the framebuffer copy, and with the textured quad that a
// context without the copy gets.
class KeptDialOnAContext : public SceneTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    if (!GetParam()) saved_lookup_ = SetGlProcLookup(nullptr);
    AppSettings().clock.Color = 7;
    AppSettings().DialRGB = {0.2f, 0.6f, 0.9f};
    Scene().LightLevel = 9;
    SetupLights();
  }
  Image Frame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawDialAfterClear(AppSettings().clock.Color);
    Scene().DialMeshReady = true;
    return context_.Read();
  }
  void TearDown() override {
    if (!GetParam()) SetGlProcLookup(saved_lookup_);
    SceneTest::TearDown();
  }
  Image DrawnFrame() {
    Scene().KeepCopies = false;
    Image image = Frame();
    Scene().KeepCopies = true;
    return image;
  }

  GlProcLookup saved_lookup_ = nullptr;
};

INSTANTIATE_TEST_SUITE_P(CopyAndQuad, KeptDialOnAContext, ::testing::Bool());

TEST_P(KeptDialOnAContext, TheSecondFrameIsPutBackFromTheCopy) {
  const Image first = Frame();
  ASSERT_TRUE(Scene().KeptDial.valid);
  EXPECT_EQ(Scene().KeptDial.copy.CopiesWithoutDrawing(), GetParam());
  // A stale copy shows that the second frame comes from it, not from a new drawing.
  AppSettings().DialRGB = {0.9f, 0.1f, 0.1f};
  Scene().KeptDial.key.dial_rgb = {0.9f, 0.1f, 0.1f};
  EXPECT_EQ(Frame().rgb, first.rgb);
}

// Each thing the picture depends on makes the next frame draw and keep again.
TEST_P(KeptDialOnAContext, RedrawsWhenWhatTheDialDependsOnChanges) {
  const std::vector<std::function<void()>> changes = {
      [] { AppSettings().DialRGB.green = 0.1f; }, [] { UpdateLightLevel(3); },
      [] { AppSettings().clock.Color = 9; },      [] { glViewport(8, 8, 40, 40); },
      [] { glTranslatef(-0.025f, 0.0f, 0.0f); },  [] { ResizeFullScreen(64, 48); },
      [] { Scene().DialMeshReady = false; },      [] { SetupLights(); },  // as at every new context
  };
  for (size_t i = 0; i < changes.size(); ++i) {
    Frame();
    changes[i]();
    EXPECT_EQ(Frame().rgb, DrawnFrame().rgb) << "change " << i;
    EXPECT_EQ(Frame().rgb, DrawnFrame().rgb) << "change " << i << ", kept again";
  }
}

// Several monitors draw several dials in one frame; each frame is the drawn one.
TEST_P(KeptDialOnAContext, FramesOverSeveralMonitorsAreDrawn) {
  const std::vector<Viewport> monitors = {{0, 0, 32, 64}, {32, 16, 32, 48}};
  const auto frames = [&](bool keep) {
    Scene() = {};
    Caption() = {};
    Scene().LightLevel = 9;
    SetupLights();
    Scene().KeepCopies = keep;
    std::vector<std::vector<uint8_t>> pictures;
    for (int i = 0; i < 3; ++i) {
      DrawSaverSceneInEach(monitors);
      pictures.push_back(context_.Read().rgb);
    }
    return pictures;
  };
  EXPECT_EQ(frames(true), frames(false));
}

TEST_P(KeptDialOnAContext, StyleOneAndNoDialAreNeverKept) {
  for (int32_t style : {0, 1, 11}) {
    AppSettings().clock.Color = style;
    Frame();
    EXPECT_FALSE(Scene().KeptDial.valid) << style;
  }
}

// The settings window's frame is all still part: put back while nothing it shows
// changes (a stale copy shows it), drawn again when the second or a setting does.
TEST_P(KeptDialOnAContext, StillPartIsPutBackUntilWhatItShowsChanges) {
  AppSettings().clock = {9, 10, 7, 1, 3, 5, 0};
  AppSettings().HandRGB = {0.9f, 0.8f, 0.2f};
  const auto frame = [this](bool keep) {
    Scene().KeepCopies = keep;
    DrawSettingsScene();
    Scene().KeepCopies = true;
    return context_.Read().rgb;
  };
  const std::vector<uint8_t> first = frame(true);
  ASSERT_TRUE(Scene().KeptStill.valid);
  AppSettings().HandRGB.red = 0.1f;
  Scene().KeptStill.key.hand_rgb[0] = 0.1f;
  EXPECT_EQ(frame(true), first);

  const std::vector<std::function<void()>> changes = {
      [] { Clock().Pin({10, 8, 31, 0}); },        [] { Clock().Pin({10, 9, 31, 0}); },
      [] { Clock().Pin({11, 9, 31, 0}); },        [] { AppSettings().clock.Arrows = 7; },
      [] { AppSettings().HandRGB.green = 0.1f; }, [] { AppSettings().clock.Sizes = 15; },
      [] { AppSettings().DialRGB.blue = 0.2f; },  [] { AppSettings().clock.Brightness = 4; },
      [] { AppSettings().clock.Color = 0; },      [] { AppSettings().clock.Color = 3; },
  };
  for (size_t i = 0; i < changes.size(); ++i) {
    frame(true);
    changes[i]();
    EXPECT_EQ(frame(true), frame(false)) << "change " << i;
    EXPECT_EQ(frame(true), frame(false)) << "change " << i << ", kept again";
  }
}

// A context that refuses the copy from the window (as one with a multisampled window
// does) leaves the texture as it was; the copy is then taken and put back the quad's way.
void RefusedBlit(GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLbitfield, GLenum) {
  glEnable(0xFFFF);  // the error flag a refusal sets
}

void* LookupWithRefusedBlit(const char* name) {
  if (std::string_view(name) == "glBlitFramebufferEXT") {
    return reinterpret_cast<void*>(&RefusedBlit);
  }
  return reinterpret_cast<void*>(OSMesaGetProcAddress(name));
}

TEST_P(KeptDialOnAContext, ARefusedCopyFallsBackToTheQuad) {
  const GlProcLookup before = SetGlProcLookup(&LookupWithRefusedBlit);
  SetupLights();
  const Image first = Frame();
  ASSERT_TRUE(Scene().KeptDial.valid);
  EXPECT_FALSE(Scene().KeptDial.copy.CopiesWithoutDrawing());
  EXPECT_EQ(Frame().rgb, first.rgb);
  EXPECT_EQ(Frame().rgb, DrawnFrame().rgb);
  SetGlProcLookup(before);
}

// After a swap the back buffer holds anything (here magenta). A saver frame whose still
// part is put back over the whole window needs no colour clear; one whose viewport
// leaves some of the window uncovered still clears it.
TEST_P(KeptDialOnAContext, SaverFramesOverAnUndefinedBufferAreTheDrawnOnes) {
  const std::vector<Viewport> viewports = {{0, 0, 64, 64}, {0, 8, 64, 48}};
  for (const Viewport& viewport : viewports) {
    const auto frames = [&](bool keep) {
      Scene() = {};
      Caption() = {};
      Scene().LightLevel = 9;
      SetupCamera(viewport, 1.0f);
      SetupLights();
      Scene().KeepCopies = keep;
      std::vector<std::vector<uint8_t>> pictures;
      for (int i = 0; i < 3; ++i) {
        glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        DrawSaverScene(64, 64);
        pictures.push_back(context_.Read().rgb);
      }
      return pictures;
    };
    EXPECT_EQ(frames(true), frames(false)) << "viewport height " << viewport.height;
  }
}

TEST_P(KeptDialOnAContext, AMovingDialKeepsNoStillPart) {
  AppSettings().clock.Color = 1;
  DrawSettingsScene();
  EXPECT_FALSE(Scene().KeptStill.valid);
}

}  // namespace
