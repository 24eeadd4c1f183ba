#include <GL/gl.h>
#include <gtest/gtest.h>

#include <optional>

#include "scene/osmesa/OffscreenContext.h"

namespace {

// Clears the current context to `red` and returns the top-left pixel's red as read back.
int ClearAndReadRed(OffscreenContext& context, float red) {
  glClearColor(red, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  context.Present();
  return context.Read().At(0, 0)[0];
}

TEST(OffscreenContext, RefusesASizeThatIsNotPositiveAndMakesNoContext) {
  const struct { int width, height; } cases[] = {{0, 64}, {64, 0}, {-1, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    OffscreenContext context;
    EXPECT_EQ(context.Setup(c.width, c.height), "offscreen context: the size must be positive");
    EXPECT_EQ(context.Handle(), nullptr);
    EXPECT_FALSE(context.MakeCurrent());
  }
}

// Set up again, a context draws at its new size; MakeCurrent brings a context back after
// another; Release leaves nothing current and may be called again.
TEST(OffscreenContext, DrawsWhereItIsMadeCurrentAndLeavesNothingCurrentReleased) {
  OffscreenContext first;
  ASSERT_EQ(first.Setup(32, 16), std::nullopt);
  ASSERT_EQ(first.Setup(8, 4), std::nullopt);
  EXPECT_EQ(first.Read().width, 8);
  EXPECT_EQ(first.Read().height, 4);
  EXPECT_EQ(ClearAndReadRed(first, 1.0f), 255);

  OffscreenContext second;
  ASSERT_EQ(second.Setup(8, 4), std::nullopt);
  EXPECT_EQ(ClearAndReadRed(second, 0.0f), 0);
  EXPECT_EQ(first.Read().At(0, 0)[0], 255);  // the second's clear did not reach it
  ASSERT_TRUE(first.MakeCurrent());
  EXPECT_EQ(ClearAndReadRed(first, 0.0f), 0);

  // Its own entry points: the framebuffer copies the scene's kept pictures use.
  EXPECT_NE(OffscreenContext::GlProcAddress("glBlitFramebufferEXT"), nullptr);

  first.Release();
  EXPECT_EQ(first.Handle(), nullptr);
  EXPECT_EQ(OSMesaGetCurrentContext(), nullptr);
  first.Release();
}

}  // namespace
