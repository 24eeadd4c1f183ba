#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "saver/Preview.h"
#include "scene/SceneState.h"
#include "scene/win32/RenderContext.h"
#include "windowsetup/WindowSetup.h"
#include "tests/support/ErrorBoxes.h"
#include "tests/support/WglStandIns.h"
#include "ui/Application.h"
#include "win32/WinHandles.h"

namespace {

// The preview made in this process inside a stand-in for the dialog's preview area.
class PreviewInADialogArea : public testing::Test {
 protected:
  void SetUp() override {
    Application().Reset();
    PreviewSceneFixedValues(state_.Settings, state_.Scene);
    area_.reset(CreateWindowExA(0, "STATIC", "preview area", WS_POPUP | WS_VISIBLE, 0, 0, 152, 112,
                                nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(area_);
    preview_.reset(CreatePreviewWindow(152, 112, area_.get(), state_));
    ASSERT_TRUE(preview_);
  }
  void TearDown() override {
    preview_.reset();
    area_.reset();
    // The preview's WM_DESTROY posted a quit request; Reset drops it.
    Application().Reset();
  }

  // A pixel format set once, as Windows allows.
  PixelFormatSetOnce format_;
  PreviewState state_;
  UniqueWindow area_;
  UniqueWindow preview_;
};

TEST_F(PreviewInADialogArea, ClassHasItsOwnDeviceContextAndTheChildClips) {
  const auto class_style = static_cast<UINT>(GetClassLongPtrA(preview_.get(), GCL_STYLE));
  EXPECT_EQ(class_style, static_cast<UINT>(CS_OWNDC));
  EXPECT_EQ(class_style & CS_PARENTDC, 0u);
  const auto style = static_cast<DWORD>(GetWindowLongA(preview_.get(), GWL_STYLE));
  const DWORD expected = WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  EXPECT_EQ(style & expected, expected);
  EXPECT_EQ(GetParent(preview_.get()), area_.get());
}

TEST_F(PreviewInADialogArea, LaterFramesDrawWithoutSettingTheFormatAgain) {
  const CapturedErrorBoxes boxes;
  for (int frame = 1; frame <= 3; ++frame) {
    SCOPED_TRACE(frame);
    DrawPreviewFrame(state_, format_.Calls());
    EXPECT_EQ(format_.CallCount(), 1);
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_FALSE(Application().Terminated());
    EXPECT_FALSE(state_.FrameSetupFailed);
    // Nothing of OpenGL's state outlives a frame.
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
  }
  EXPECT_TRUE(state_.Scene.DialMeshReady);
}

TEST_F(PreviewInADialogArea, FormatThatCannotBeSetEndsThePreviewWithItsBox) {
  const CapturedErrorBoxes boxes;
  DrawPreviewFrame(state_, {.SetPixelFormat = &RefuseFormat});
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"SetPixelFormat failed"});
  EXPECT_TRUE(state_.FrameSetupFailed);
  EXPECT_TRUE(Application().Terminated());
}

}  // namespace
