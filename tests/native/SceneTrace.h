#pragma once

// Helpers for the scene tests: draw into a small Mesa context with the OpenGL calls
// recorded, and read the drawn primitives back out of the trace.

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "base/ClockSource.h"
#include "base/RandomGenerator.h"
#include "scene/Background.h"
#include "scene/Clocks.h"
#include "scene/FrameInputs.h"
#include "scene/Lighting.h"
#include "scene/SceneGl.h"
#include "scene/SceneState.h"
#include "settings/ClockSettings.h"
#include "tools/render/GlTrace.h"
#include "scene/osmesa/OffscreenContext.h"

struct DrawnVertex {
  float x = 0, y = 0, z = 0;
  float red = 0, green = 0, blue = 0, alpha = 0;
  std::string call;  // glVertex2f or glVertex3f
};

// One glBegin/glEnd block with the transform calls made since the previous block.
struct DrawnBlock {
  std::vector<GlCall> transforms;
  std::vector<DrawnVertex> vertices;
};

inline std::vector<DrawnBlock> BlocksOf(const std::vector<GlCall>& calls) {
  std::vector<DrawnBlock> blocks;
  std::vector<GlCall> transforms;
  DrawnVertex current;
  for (const GlCall& c : calls) {
    if (c.name == "glColor4f") {
      current.red = c.Float(0);
      current.green = c.Float(1);
      current.blue = c.Float(2);
      current.alpha = c.Float(3);
    } else if (c.name == "glBegin") {
      blocks.push_back({transforms, {}});
      transforms.clear();
    } else if (c.name == "glVertex3f" || c.name == "glVertex2f") {
      DrawnVertex v = current;
      v.x = c.Float(0);
      v.y = c.Float(1);
      v.z = c.name == "glVertex3f" ? c.Float(2) : 0.0f;
      v.call = c.name;
      blocks.back().vertices.push_back(v);
    } else if (c.name == "glRotatef" || c.name == "glTranslatef") {
      transforms.push_back(c);
    }
  }
  return blocks;
}

inline size_t CountCalls(const std::vector<GlCall>& calls, const std::string& name) {
  size_t n = 0;
  for (const GlCall& c : calls)
    n += c.name == name ? 1 : 0;
  return n;
}

// A window's own state, a small current context and a fixed time; each test draws with
// Trace().
class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(context_.Setup(64, 64), std::nullopt);
    random_.SetState(20240601u);
    SetupCamera({0, 0, 64, 64}, 1.0f);
    SetupLights(state_.LightLevel);
  }
  void TearDown() override { SetGlMode(GlMode::Plain); }

  // The inputs of a frame drawn now from the fixture's settings, time and light level.
  FrameInputs Inputs() const { return ReadFrameInputs(settings_, state_.LightLevel, time_); }
  SceneGl& Objects() { return context_.Objects(); }
  WindowScene Window() { return {state_, Objects(), random_}; }

  void DrawHands() { DrawClockHands(Inputs(), state_, Objects().Batch); }
  void DrawDial(int32_t style) {
    DrawDialFace(style, settings_.DialRGB, state_, random_, Objects().Batch);
  }

  // The calls `draw` makes, every one drawn: no kept copy is put back meanwhile.
  std::vector<GlCall> Trace(const std::function<void()>& draw) {
    ScopedGlTrace tracing;
    Objects().KeepCopies = false;
    draw();
    Objects().KeepCopies = true;
    std::vector<GlCall> calls = GlTraceCalls();
    ClearGlTrace();
    return calls;
  }

  OffscreenContext context_;
  SettingsState settings_;
  SceneState state_;
  RandomGenerator random_;
  TimeOfDay time_{10, 8, 30, 0};
};

// A saver frame at light level 9 with the caption on: dial style `DialStyle`, size 10,
// hand style 1 in colour 5. The lists at 100 stand for a caption font.
template <int32_t DialStyle>
class SaverFrameTest : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    settings_.clock = {9, 10, DialStyle, 1, 1, 5, 0};
    state_.LightLevel = 9;
    Objects().FontListBase = 100;
    state_.Caption.CaptionAlphaStep = 0.001f;
  }
  void TearDown() override {
    Objects().FontListBase = 0;  // not this context's lists
    SceneTest::TearDown();
  }
};
