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
class DialogHost {
 public:
  DialogHost() : x_windows_before_(UnnamedXWindows()) {
    std::string command(1, '"');
    command.append(TestProgramDir()).append("\\preview_dialog.exe\"");
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
      ADD_FAILURE() << "cannot start preview_dialog.exe";
      return;
    }
    CloseHandle(pi.hThread);
    dialog_process_.reset(pi.hProcess);
    PumpUntil(
        [&] {
          dialog = TopLevelWindowOf(pi.dwProcessId, IsDialog);
          area = dialog != nullptr ? FindWindowExA(dialog, nullptr, kAreaClass, nullptr) : nullptr;
          preview =
              area != nullptr ? FindWindowExA(area, nullptr, nullptr, kPreviewTitle) : nullptr;
          // The child is findable while it is still being created, before the system adds
          // WS_VISIBLE: only a shown preview is the one the dialog gets.
          return preview != nullptr && (GetWindowLongA(preview, GWL_STYLE) & WS_VISIBLE) != 0;
        },
        10000);
    EXPECT_NE(preview, nullptr) << "no preview window in the dialog's area";
    DWORD saver_id = 0;
    GetWindowThreadProcessId(preview, &saver_id);
    saver_.reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, saver_id));
  }
  ~DialogHost() {
    // The usual end first, so that every window goes the way it goes for a user.
    Post(kDestroyArea);
    SaverEndsWithin(3000);
    Post(WM_CLOSE);
    if (dialog_process_) {
      WaitForSingleObject(dialog_process_.get(), 3000);
    }
    for (HANDLE process : {saver_.get(), dialog_process_.get()}) {
      if (process != nullptr && WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
      }
    }
  }

  void Post(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const {
    PostMessageA(dialog, message, wparam, lparam);
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
  UniqueKernelHandle dialog_process_;
  UniqueKernelHandle saver_;
};

constexpr DWORD kStateWait_ms = 10000;
constexpr DWORD kPictureCheck_ms = 40;

// The preview's picture once it is lit (the grey dial covers much of it), waited for.
Picture LitPicture(const std::string& id) {
  Picture p;
  EXPECT_TRUE(PumpUntil(
      [&] {
        p = TryCaptureXWindow(id);
        return p.Lit() > p.Pixels() / 4;
      },
      kStateWait_ms, kPictureCheck_ms))
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
      kStateWait_ms, kPictureCheck_ms))
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

TEST_F(PreviewInTheDialog, EndsPromptlyWhenTheDialogDestroysTheArea) {
  DialogHost host;
  ASSERT_NE(host.preview, nullptr);
  // Running: its frames are on their way.
  LitPicture(host.XWindow(kAreaWidth, kAreaHeight));
  const DWORD start = GetTickCount();
  host.Post(kDestroyArea);
  ASSERT_TRUE(host.SaverEndsWithin(5000));
  const DWORD elapsed_ms = GetTickCount() - start;
  RecordProperty("end_ms", static_cast<int>(elapsed_ms));
  std::printf("preview ended %lu ms after the area was destroyed\n", elapsed_ms);
  EXPECT_LT(elapsed_ms, 1000u);
}

TEST_F(PreviewInTheDialog, LivesThroughTheDialogHiddenMinimisedAndResized) {
  DialogHost host;
  ASSERT_NE(host.preview, nullptr);
  for (int command : {SW_HIDE, SW_SHOW, SW_MINIMIZE, SW_RESTORE}) {
    host.Post(kShowDialog, static_cast<WPARAM>(command));
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
  const HWND popup = saver.WaitForWindow(kPreviewTitle, 10000);
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
      kStateWait_ms, kPictureCheck_ms));

  SetForegroundWindow(popup);
  EXPECT_TRUE(PumpUntil([popup] { return GetForegroundWindow() == popup; }, kStateWait_ms));
  PressKey(VK_SPACE);
  EXPECT_TRUE(saver.WaitForExit(5000));
}

INSTANTIATE_TEST_SUITE_P(Arguments, PreviewWithoutDialog, testing::Values("/p", "/p abc"));

TEST(PreviewOfAGoneDialog, LeavesNoProcessBehind) {
  // A handle that was a window: the dialog closed before the saver started.
  HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(gone, nullptr);
  DestroyWindow(gone);
  SaverProcess saver("/p " + std::to_string(reinterpret_cast<INT_PTR>(gone)));
  EXPECT_TRUE(saver.WaitForExit(5000));
  EXPECT_EQ(FindWindowA(nullptr, kPreviewTitle), nullptr);
}

}  // namespace
