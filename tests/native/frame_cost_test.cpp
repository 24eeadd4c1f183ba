// The levers that make a frame cheaper must leave every pixel and every traced call as
// it was: batched quads, invisible quads left out, and the kept static dial.

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <cmath>
#include <string>
#include <functional>
#include <string_view>
#include <limits>
#include <vector>

#include "SceneTrace.h"
#include "scene/FramebufferBlit.h"
#include "scene/KeptDial.h"
#include "scene/QuadBatch.h"
#include "scene/SceneFrames.h"
#include "windowsetup/WindowSetup.h"
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
  o.Setting(&ClockSettings::Color) = dial;
  o.Setting(&ClockSettings::Arrows) = 3;
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
    if (!GetParam()) Objects().lookup = nullptr;
    settings_.clock.Color = 7;
    settings_.DialRGB = {0.2f, 0.6f, 0.9f};
    state_.LightLevel = 9;
    SetupLights(state_.LightLevel);
  }
  Image Frame() {
    glClear(GL_COLOR_BUFFER_BIT);
    DrawDialAfterClear(Inputs(), Window());
    state_.DialMeshReady = true;
    return context_.Read();
  }
  Image DrawnFrame() {
    Objects().KeepCopies = false;
    Image image = Frame();
    Objects().KeepCopies = true;
    return image;
  }
  // A saver frame of the window's whole 64 x 64 pixels.
  std::vector<uint8_t> SaverFrame() {
    DrawSaverScene(Inputs(), Window(), 64, 64);
    return context_.Read().rgb;
  }
};

INSTANTIATE_TEST_SUITE_P(CopyAndQuad, KeptDialOnAContext, ::testing::Bool());

TEST_P(KeptDialOnAContext, TheSecondFrameIsPutBackFromTheCopy) {
  const Image first = Frame();
  ASSERT_TRUE(Objects().KeptDial.valid);
  EXPECT_EQ(Objects().KeptDial.copy.CopiesWithoutDrawing(), GetParam());
  // A stale copy shows that the second frame comes from it, not from a new drawing.
  settings_.DialRGB = {0.9f, 0.1f, 0.1f};
  Objects().KeptDial.key.DialRGB = {0.9f, 0.1f, 0.1f};
  EXPECT_EQ(Frame().rgb, first.rgb);
}

// Each thing the picture depends on makes the next frame draw and keep again.
TEST_P(KeptDialOnAContext, RedrawsWhenWhatTheDialDependsOnChanges) {
  const std::vector<std::function<void()>> changes = {
      [&] { settings_.DialRGB.green = 0.1f; },   [&] { UpdateLightLevel(state_, 3); },
      [&] { settings_.clock.Color = 9; },        [] { glViewport(8, 8, 40, 40); },
      [] { glTranslatef(-0.025f, 0.0f, 0.0f); }, [] { ResizeFullScreen(64, 48); },
      [&] { state_.DialMeshReady = false; },
  };
  for (size_t i = 0; i < changes.size(); ++i) {
    Frame();
    changes[i]();
    EXPECT_EQ(Frame().rgb, DrawnFrame().rgb) << "change " << i;
    EXPECT_EQ(Frame().rgb, DrawnFrame().rgb) << "change " << i << ", kept again";
  }
}

// The pixels of a picture's area, given in GL's window coordinates (rows from the bottom).
std::vector<uint8_t> PixelsIn(const Image& image, const Viewport& area) {
  std::vector<uint8_t> pixels;
  for (int y = area.y; y < area.y + area.height; ++y) {
    const uint8_t* row = image.At(area.x, image.height - 1 - y);
    pixels.insert(pixels.end(), row, row + 3 * area.width);
  }
  return pixels;
}

int LitIn(const Image& image, const Viewport& area) {
  const std::vector<uint8_t> pixels = PixelsIn(image, area);
  int lit = 0;
  for (size_t i = 0; i < pixels.size(); i += 3) {
    lit += pixels[i] + pixels[i + 1] + pixels[i + 2] > 60 ? 1 : 0;
  }
  return lit;
}

// Several monitors draw several dials in one frame: each monitor shows the frame it
// would show alone, the window outside them stays black, and no frame changes when the
// still part could be kept.
TEST_P(KeptDialOnAContext, FramesOverSeveralMonitorsAreDrawn) {
  // In the 64 x 64 window the second monitor leaves the 32 x 16 pixels below it bare.
  const std::vector<Viewport> monitors = {{0, 0, 32, 64}, {32, 16, 32, 48}};
  const Viewport bare = {32, 0, 32, 16};
  const auto frames = [&](const std::vector<Viewport>& viewports, bool keep) {
    SceneState state;
    state.LightLevel = 9;
    random_.SetState(20240601u);
    Objects().KeepCopies = keep;
    std::vector<Image> pictures;
    for (int i = 0; i < 3; ++i) {
      DrawSaverSceneInEach(Inputs(), {state, Objects(), random_}, viewports);
      pictures.push_back(context_.Read());
    }
    Objects().KeepCopies = true;
    return pictures;
  };
  const std::vector<Image> kept = frames(monitors, true);
  const std::vector<Image> drawn = frames(monitors, false);
  for (const Viewport& m : monitors) {
    SCOPED_TRACE(testing::Message() << "monitor at " << m.x << "," << m.y);
    const std::vector<Image> alone = frames({m}, false);
    for (size_t i = 0; i < kept.size(); ++i) {
      SCOPED_TRACE("frame " + std::to_string(i));
      EXPECT_EQ(kept[i].rgb, drawn[i].rgb);
      EXPECT_EQ(PixelsIn(kept[i], m), PixelsIn(alone[i], m));
      // The dial of style 7 covers much of each monitor.
      EXPECT_GT(LitIn(kept[i], m), m.width * m.height / 4);
      EXPECT_EQ(LitIn(kept[i], bare), 0);
    }
  }
}

TEST_P(KeptDialOnAContext, StyleOneAndNoDialAreNeverKept) {
  for (int32_t style : {0, 1, 11}) {
    settings_.clock.Color = style;
    Frame();
    EXPECT_FALSE(Objects().KeptDial.valid) << style;
  }
}

// The settings window's frame is all still part: put back while nothing it is drawn
// from changes (a stale copy shows it), drawn again when any field of its inputs does.
TEST_P(KeptDialOnAContext, StillPartIsPutBackUntilAnyInputChanges) {
  settings_.clock = {9, 10, 7, 1, 3, 5, 0};
  settings_.HandRGB = {0.9f, 0.8f, 0.2f};
  const auto frame = [this](const FrameInputs& in, bool keep) {
    Objects().KeepCopies = keep;
    DrawSettingsScene(in, Window());
    Objects().KeepCopies = true;
    return context_.Read().rgb;
  };
  FrameInputs base = Inputs();
  base.LightLevel = 9;
  const std::vector<uint8_t> first = frame(base, true);
  ASSERT_TRUE(Objects().KeptStill.valid);
  FrameInputs stale = base;
  stale.HandRGB.red = 0.1f;
  Objects().KeptStill.key = stale;
  EXPECT_EQ(frame(stale, true), first);

  using Change = void (*)(FrameInputs&);
  const std::vector<std::pair<const char*, Change>> changes = {
      {"second", [](FrameInputs& in) { in.time.second = 31; }},
      {"minute", [](FrameInputs& in) { in.time.minute = 9; }},
      {"hour", [](FrameInputs& in) { in.time.hour = 11; }},
      {"Brightness", [](FrameInputs& in) { in.settings.Brightness = 4; }},
      {"Sizes", [](FrameInputs& in) { in.settings.Sizes = 15; }},
      {"Color", [](FrameInputs& in) { in.settings.Color = 3; }},
      {"no dial", [](FrameInputs& in) { in.settings.Color = 0; }},
      {"Alpha", [](FrameInputs& in) { in.settings.Alpha = 2; }},
      {"Arrows", [](FrameInputs& in) { in.settings.Arrows = 7; }},
      {"Ar_Color", [](FrameInputs& in) { in.settings.Ar_Color = 2; }},
      {"Rands", [](FrameInputs& in) { in.settings.Rands = 1; }},
      {"HandRGB", [](FrameInputs& in) { in.HandRGB.green = 0.1f; }},
      {"DialRGB", [](FrameInputs& in) { in.DialRGB.blue = 0.2f; }},
      {"LightLevel", [](FrameInputs& in) { in.LightLevel = 4; }},
      {"viewport",
       [](FrameInputs& in) {
         in.viewport = {0, 8, 64, 48};
       }},
      {"projection", [](FrameInputs& in) { in.projection[12] = 0.25f; }},
  };
  for (const auto& [name, change] : changes) {
    FrameInputs in = base;
    frame(in, true);
    change(in);
    // The viewport and projection are the context's: the inputs report what it has.
    glViewport(in.viewport[0], in.viewport[1], in.viewport[2], in.viewport[3]);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(in.projection.data());
    EXPECT_EQ(frame(in, true), frame(in, false)) << name;
    EXPECT_EQ(frame(in, true), frame(in, false)) << name << ", kept again";
    glViewport(base.viewport[0], base.viewport[1], base.viewport[2], base.viewport[3]);
    glLoadMatrixf(base.projection.data());
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
  Objects().lookup = &LookupWithRefusedBlit;
  const Image first = Frame();
  ASSERT_TRUE(Objects().KeptDial.valid);
  EXPECT_FALSE(Objects().KeptDial.copy.CopiesWithoutDrawing());
  EXPECT_EQ(Frame().rgb, first.rgb);
  EXPECT_EQ(Frame().rgb, DrawnFrame().rgb);
}

// After a swap the back buffer holds anything (here magenta). A saver frame whose still
// part is put back over the whole window needs no clear; one whose viewport leaves some
// of the window uncovered still clears it.
TEST_P(KeptDialOnAContext, SaverFramesOverAnUndefinedBufferAreTheDrawnOnes) {
  const std::vector<Viewport> viewports = {{0, 0, 64, 64}, {0, 8, 64, 48}};
  for (const Viewport& viewport : viewports) {
    const auto frames = [&](bool keep) {
      state_ = {};
      state_.LightLevel = 9;
      SetupCamera(viewport, 1.0f);
      Objects().KeepCopies = keep;
      std::vector<std::vector<uint8_t>> pictures;
      for (int i = 0; i < 3; ++i) {
        glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        pictures.push_back(SaverFrame());
      }
      Objects().KeepCopies = true;
      return pictures;
    };
    EXPECT_EQ(frames(true), frames(false)) << "viewport height " << viewport.height;
  }
}

TEST_P(KeptDialOnAContext, AMovingDialKeepsNoStillPart) {
  settings_.clock.Color = 1;
  DrawSettingsScene(Inputs(), Window());
  EXPECT_FALSE(Objects().KeptStill.valid);
}

// The context's owner deletes the kept copies' textures and framebuffers and the font
// lists while the context is current; none is left for the context's end to take.
TEST_P(KeptDialOnAContext, ReleasingTheContextsObjectsDeletesEveryName) {
  Objects().FontListBase = glGenLists(kFontCharCount);
  Frame();
  SaverFrame();
  SaverFrame();
  const SceneGl& gl = Objects();
  ASSERT_TRUE(gl.KeptDial.valid && gl.KeptStill.valid);
  const std::vector<GLuint> textures = {gl.KeptDial.copy.Texture(), gl.KeptStill.copy.Texture()};
  const std::vector<GLuint> framebuffers = {gl.KeptDial.copy.Framebuffer(),
                                            gl.KeptStill.copy.Framebuffer()};
  const GLuint lists = gl.FontListBase;
  const auto is_framebuffer =
      reinterpret_cast<GLboolean (*)(GLuint)>(OSMesaGetProcAddress("glIsFramebufferEXT"));
  ASSERT_NE(is_framebuffer, nullptr);
  for (GLuint t : textures)
    EXPECT_TRUE(glIsTexture(t));
  for (GLuint f : framebuffers)
    EXPECT_EQ(is_framebuffer(f) == GL_TRUE, GetParam());

  Objects().Release();
  for (GLuint t : textures)
    EXPECT_FALSE(glIsTexture(t)) << t;
  for (GLuint f : framebuffers)
    EXPECT_FALSE(f != 0 && is_framebuffer(f)) << f;
  EXPECT_FALSE(glIsList(lists));
  EXPECT_FALSE(glIsList(lists + kFontCharCount - 1));
  EXPECT_FALSE(Objects().KeptDial.valid || Objects().KeptStill.valid);
  EXPECT_EQ(Objects().FontListBase, 0u);
}

// A context shares its textures and lists with another made to share them, so what
// its destruction left behind would still be found from the other.
TEST(SceneObjectsOfAContext, NoneOutlivesTheContextsOwner) {
  const RenderOptions o = SaverFrames(7, 3, 64, 64);
  OSMesaContext other = nullptr;
  GLuint texture = 0;
  GLuint lists = 0;
  std::vector<uint8_t> other_buffer(64 * 64 * 4);
  {
    OffscreenContext context;
    ASSERT_EQ(context.Setup(64, 64), std::nullopt);
    RenderedWindow window;
    PrepareWindow(o, context, window);
    for (int i = 0; i < 3; ++i)
      DrawWindowFrame(o, context, window);
    ASSERT_TRUE(context.Objects().KeptStill.valid);
    texture = context.Objects().KeptStill.copy.Texture();
    lists = context.Objects().FontListBase;
    ASSERT_TRUE(glIsTexture(texture) && glIsList(lists));
    other = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, context.Handle());
    ASSERT_NE(other, nullptr);
  }
  ASSERT_TRUE(OSMesaMakeCurrent(other, other_buffer.data(), GL_UNSIGNED_BYTE, 64, 64));
  EXPECT_FALSE(glIsTexture(texture));
  EXPECT_FALSE(glIsList(lists));
  OSMesaDestroyContext(other);
}

}  // namespace
