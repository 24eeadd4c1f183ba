#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glwindow/GlForm.h"
#include "scene/GlHeaders.h"
#include "tests/support/ErrorBoxes.h"
#include "tests/support/TestWindows.h"
#include "tests/support/WglStandIns.h"
#include "tests/support/Pump.h"
#include "ui/Application.h"
#include "win32/SystemError.h"

// The OpenGL windows' shared life: a frame on every tick with a context and none
// without, the set-up's failure in the error box, and one close that lets all go.

namespace {

class GlFormLife : public testing::Test {
 protected:
  void SetUp() override { Application().Reset(); }
  void TearDown() override { Application().Reset(); }
};

TEST_F(GlFormLife, DrawsOnEveryTickUntilTheCloseLetsTheContextGo) {
  ProbeGlForm form;
  ASSERT_NE(form.context_at_setup, nullptr);
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  ASSERT_TRUE(PumpUntil([&form] { return form.frames >= 2; }, kStateBound_ms));

  form.Close();
  EXPECT_FALSE(form.HandleAllocated());
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ(form.closings, 1);
  EXPECT_TRUE(Application().Terminated());
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  const int frames_at_close = form.frames;
  form.Draw();
  EXPECT_EQ(form.frames, frames_at_close) << "no frame without a context";
}

TEST_F(GlFormLife, ARefusedContextIsSaidAndClosesTheFormUnshown) {
  const CapturedErrorBoxes boxes;
  RenderContextCalls gl;
  gl.CreateContext = &RefuseContext;
  ProbeGlForm form(gl);
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"wglCreateContext failed: " +
                                                    SystemErrorText(ERROR_INVALID_PIXEL_FORMAT)});
  EXPECT_EQ(form.context_at_setup, nullptr);
  EXPECT_FALSE(form.HandleAllocated());
  EXPECT_EQ(form.closings, 1);
  EXPECT_TRUE(Application().Terminated());
  form.Draw();
  EXPECT_EQ(form.frames, 0);
}

}  // namespace
