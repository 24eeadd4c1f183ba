#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "SaverProcess.h"
#include "XWindows.h"
#include "dialog/PreviewDialog.h"
#include "tests/support/Input.h"
#include "win32/WinHandles.h"

namespace {

constexpr char kPreviewTitle[] = "MySaver";

int DifferencesOutside(const Screenshot& a, const Screenshot& b, const RECT& area) {
  int count = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      const bool inside = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
      count += !inside && (a.Red(x, y) != b.Red(x, y) || a.Green(x, y) != b.Green(x, y) ||
                           a.Blue(x, y) != b.Blue(x, y));
    }
  }
  return count;
}

bool IsDialog(HWND hwnd) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof(name));
  return std::string(name) == kDialogClass;
}

SIZE SizeOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

// The program that plays the display dialog, its preview area, and the saver it started.
// The saver is in the dialog's job: it ends with the host even when it was never found.
class DialogHost {
 public:
  DialogHost()
      : x_windows_before_(UnnamedXWindows()),
        dialog_process_("", "", TestProgramDir() + "\\preview_dialog.exe") {
    if (!dialog_process_.Started()) {
      ADD_FAILURE() << "cannot start preview_dialog.exe";
      return;
    }
    // Two programs start here, the dialog and then the saver, before the window appears.
    PumpUntil(
        [&] {
          dialog = TopLevelWindowOf(dialog_process_.Id(), IsDialog);
          area = dialog != nullptr ? FindWindowExA(dialog, nullptr, kAreaClass, nullptr) : nullptr;
          preview =
              area != nullptr ? FindWindowExA(area, nullptr, nullptr, kPreviewTitle) : nullptr;
          // The child is findable while it is still being created, before the system adds
          // WS_VISIBLE: only a shown preview is the one the dialog gets.
          return preview != nullptr && (GetWindowLongA(preview, GWL_STYLE) & WS_VISIBLE) != 0;
        },
        kAppearBound_ms);
    EXPECT_NE(preview, nullptr) << "no preview window in the dialog's area"
                                << (dialog == nullptr ? " (no dialog either)" : "")
                                << "; processes started: " << dialog_process_.ProcessesStarted();
    DWORD saver_id = 0;
    GetWindowThreadProcessId(preview, &saver_id);
    saver_.reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, saver_id));
  }
  ~DialogHost() {
    // The usual end first, so that every window goes the way it goes for a user. Not a
    // check: the dialog's job ends whatever is left.
    Post(kDestroyArea);
    SaverEndsWithin(3000);
    Post(WM_CLOSE);
    dialog_process_.WaitForExit(3000);
  }

  void Post(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const {
    if (dialog != nullptr) {
      PostMessageA(dialog, message, wparam, lparam);
    }
  }
  // Ends the dialog's process alone, as a crash would.
  void KillDialog() const {
    TerminateProcess(dialog_process_.Process(), 1);
    dialog_process_.WaitForExit(kStateBound_ms);
  }
  bool SaverEndsWithin(DWORD ms) const {
    return saver_ && WaitForSingleObject(saver_.get(), ms) == WAIT_OBJECT_0;
  }

  // The preview's off-screen X window (see NewXWindowOfSize): the new one of the size.
  std::string XWindow(int width, int height) const {
    return NewXWindowOfSize(width, height, x_windows_before_);
  }

  HWND dialog = nullptr;
  HWND area = nullptr;
  HWND preview = nullptr;

 private:
  XWindowSizes x_windows_before_;
  SaverProcess dialog_process_;
  UniqueKernelHandle saver_;
};

constexpr DWORD kPictureCheck_ms = 40;

// The preview's picture once it is lit (the grey dial covers much of it), waited for.
Picture LitPicture(const std::string& id) {
  Picture p;
  EXPECT_TRUE(PumpUntil(
      [&] {
        p = TryCaptureXWindow(id);
        return p.Lit() > p.Pixels() / 4;
      },
      kStateBound_ms, kPictureCheck_ms))
      << "the preview in " << id << " is not lit";
  return p;
}

// A picture of the preview that differs from `before`: the second hand moved.
Picture NextPicture(const std::string& id, const Picture& before) {
  Picture p;
  EXPECT_TRUE(PumpUntil(
      [&] {
        p = TryCaptureXWindow(id);
        return !p.rgb.empty() && p.Differences(before) > 20;
      },
      kStateBound_ms, kPictureCheck_ms))
      << "the preview in " << id << " stands still";
  return p;
}

class PreviewInTheDialog : public testing::Test {
 protected:
  void TearDown() override { DeleteStoredSettings(); }
};

TEST_F(PreviewInTheDialog, FillsTheAreaAndDrawsMovingFramesThereOnly) {
  DialogHost host;
  ASSERT_NE(host.preview, nullptr);
  const SIZE size = SizeOf(host.preview);
  EXPECT_EQ(size.cx, kAreaWidth);
  EXPECT_EQ(size.cy, kAreaHeight);
  const LONG style = GetWindowLongA(host.preview, GWL_STYLE);
  // An OpenGL child clips its siblings and children.
  const LONG expected = WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  EXPECT_EQ(style & expected, expected);

  const std::string id = host.XWindow(kAreaWidth, kAreaHeight);
  ASSERT_FALSE(id.empty());
  const Picture before = LitPicture(id);
  const Screenshot screen_before;
  const Picture after = NextPicture(id, before);
  const Screenshot screen_after;

  // Dial style 8 in light grey covers much of the area; the second hand has moved.
  EXPECT_GT(before.Lit(), before.Pixels() / 4);
  EXPECT_GT(after.Differences(before), 20);
  // White hands and marks on a grey dial under white lights: no colour anywhere.
  EXPECT_LE(after.ColourSpread(), 8);
  RECT area{};
  GetWindowRect(host.area, &area);
  EXPECT_EQ(DifferencesOutside(screen_before, screen_after, area), 0);
}

TEST_F(PreviewInTheDialog, ShowsTheSameClockWhateverIsStored) {
  // Brightness, Sizes, Color, Alpha, Arrows, Ar_Color, Rands: two far-apart choices.
  StoreSettings(1, 0, 1, 1, 1, 1, 0);
  DialogHost first;
  const std::string first_id = first.XWindow(kAreaWidth, kAreaHeight);
  StoreSettings(10, 20, 10, 9, 10, 9, 0);
  DialogHost second;
  const std::string second_id = second.XWindow(kAreaWidth, kAreaHeight);
  ASSERT_FALSE(first_id.empty());
  ASSERT_FALSE(second_id.empty());
  LitPicture(first_id);
  LitPicture(second_id);

  // Captured back to back, the two can differ by one step of the second hand at most.
  const Picture a = CaptureXWindow(first_id);
  const Picture b = CaptureXWindow(second_id);
  EXPECT_GT(a.Lit(), a.Pixels() / 4);
  EXPECT_LT(a.Differences(b), a.Pixels() / 40);
  EXPECT_LE(b.ColourSpread(), 8);
}

// How promptly it ends is a figure, not a check (tools/measure/measure-ends.sh): a loaded
// machine may take any time to run the end.
TEST_F(PreviewInTheDialog, EndsWhenTheDialogDestroysTheArea) {
  DialogHost host;
  ASSERT_NE(host.preview, nullptr);
  const std::string id = host.XWindow(kAreaWidth, kAreaHeight);
  ASSERT_FALSE(id.empty());
  // Running: its frames are on their way.
  LitPicture(id);
  const DWORD start = GetTickCount();
  host.Post(kDestroyArea);
  ASSERT_TRUE(host.SaverEndsWithin(kStateBound_ms)) << "the preview outlived its area";
  const DWORD elapsed_ms = GetTickCount() - start;
  RecordProperty("end_ms", static_cast<int>(elapsed_ms));
  std::printf("figure: preview_end_ms %lu\n", elapsed_ms);
}

// A dialog that dies (ended from outside, or crashed) takes its area with it, though no
// one destroys the preview inside it: the preview must not outlive it.
TEST_F(PreviewInTheDialog, EndsWhenTheDialogDies) {
  DialogHost host;
  ASSERT_NE(host.preview, nullptr);
  const std::string id = host.XWindow(kAreaWidth, kAreaHeight);
  ASSERT_FALSE(id.empty());
  LitPicture(id);
  host.KillDialog();
  EXPECT_TRUE(host.SaverEndsWithin(kStateBound_ms)) << "the preview outlived its dialog";
}

TEST_F(PreviewInTheDialog, LivesThroughTheDialogHiddenMinimisedAndResized) {
  DialogHost host;
  ASSERT_NE(host.preview, nullptr);
  for (int command : {SW_HIDE, SW_SHOW, SW_MINIMIZE, SW_RESTORE}) {
    host.Post(kShowDialog, static_cast<WPARAM>(command));
    // An end that must not come: one would follow the dialog's change at once.
    EXPECT_FALSE(host.SaverEndsWithin(700)) << "ended after ShowWindow " << command;
  }
  host.Post(kResizeArea, 200, 150);
  const std::string id = host.XWindow(200, 150);
  ASSERT_FALSE(id.empty()) << "the preview did not follow the area";
  EXPECT_EQ(SizeOf(host.preview).cx, 200);
  const Picture before = LitPicture(id);
  const Picture after = NextPicture(id, before);
  EXPECT_GT(after.Differences(before), 20);
  EXPECT_GT(after.Lit(), after.Pixels() / 4);
}

// Without a usable handle the preview is a top-most pop-up that a key press ends.
class PreviewWithoutDialog : public testing::TestWithParam<const char*> {};

TEST_P(PreviewWithoutDialog, IsATopMostPopupThatAKeyEnds) {
  SaverProcess saver(GetParam());
  const HWND popup = saver.WaitForWindow(kPreviewTitle);
  ASSERT_NE(popup, nullptr);
  RECT r{};
  GetWindowRect(popup, &r);
  EXPECT_EQ(r.right - r.left, 152);
  EXPECT_EQ(r.bottom - r.top, 112);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 152) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 112) / 2);
  EXPECT_TRUE(GetWindowLongA(popup, GWL_EXSTYLE) & WS_EX_TOPMOST);
  // The dial's grey lies under the centre once a frame is drawn.
  EXPECT_TRUE(PumpUntil(
      [&] { return Screenshot().Brightness((r.left + r.right) / 2, (r.top + r.bottom) / 2) > 200; },
      kStateBound_ms, kPictureCheck_ms));

  EXPECT_TRUE(BringToFront(popup));
  PressKey(VK_SPACE);
  EXPECT_TRUE(saver.WaitForExit(kStateBound_ms));
}

INSTANTIATE_TEST_SUITE_P(Arguments, PreviewWithoutDialog, testing::Values("/p", "/p abc"));

TEST(PreviewOfAGoneDialog, LeavesNoProcessBehind) {
  // A handle that was a window: the dialog closed before the saver started.
  HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(gone, nullptr);
  DestroyWindow(gone);
  SaverProcess saver("/p " + std::to_string(reinterpret_cast<INT_PTR>(gone)));
  EXPECT_TRUE(saver.WaitForExit(kStateBound_ms));
  EXPECT_EQ(FindWindowA(nullptr, kPreviewTitle), nullptr);
}

}  // namespace
