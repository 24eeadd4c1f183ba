#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "SaverProcess.h"
#include "dialog/PreviewDialog.h"
#include "tests/support/Input.h"
#include "win32/WinHandles.h"

namespace {

constexpr char kPreviewTitle[] = "MySaver";
int g_shell_runs = 0;

// Runs a command of the Linux host and returns its standard output.
// NOTE: Wine starts a Unix program from CreateProcess but hands back no process handle to
// wait on, so the command marks its end by renaming its output file.
std::string HostShell(const std::string& command, DWORD timeout_ms = 10000) {
  // Wine reuses its process ids from run to run: the start time keeps the name fresh.
  const std::string unix_path = "/tmp/tessaryn-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
                                std::to_string(GetTickCount()) + "-" +
                                std::to_string(++g_shell_runs);
  // Bounded, so that a stuck X client cannot hold the test bed.
  std::string line = "/bin/sh -c \"(timeout 5 " + command + ") >" + unix_path +
                     ".part 2>/dev/null; mv " + unix_path + ".part " + unix_path + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    ADD_FAILURE() << "cannot start the host's shell";
    return {};
  }
  // NOTE: for a Unix program Wine gives back no process handle and a thread "handle" of
  // -11, which CloseHandle takes for the caller's own standard output.
  if (pi.hProcess != nullptr) {
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  std::string dos_path = "Z:" + unix_path;
  for (char& c : dos_path) {
    c = c == '/' ? '\\' : c;
  }
  if (!PumpUntil([&] { return GetFileAttributesA(dos_path.c_str()) != INVALID_FILE_ATTRIBUTES; },
                 timeout_ms)) {
    ADD_FAILURE() << "host command timed out: " << command;
    return {};
  }
  std::ifstream file(dos_path, std::ios::binary);
  std::string output((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  file.close();
  DeleteFileA(dos_path.c_str());
  return output;
}

// Every X window's id and size ("152x112"), from the lines of `xwininfo -tree`, which end
// in the geometry "WxH+X+Y" and the absolute position.
std::map<std::string, std::string> XWindows() {
  std::istringstream tree(HostShell("xwininfo -root -tree"));
  std::map<std::string, std::string> windows;
  for (std::string line; std::getline(tree, line);) {
    std::istringstream in(line);
    std::vector<std::string> words{std::istream_iterator<std::string>(in),
                                   std::istream_iterator<std::string>()};
    if (words.size() >= 3 && words[0].rfind("0x", 0) == 0) {
      const std::string& geometry = words[words.size() - 2];
      windows[words[0]] = geometry.substr(0, geometry.find('+'));
    }
  }
  return windows;
}

std::string SizeText(int width, int height) {
  return std::to_string(width) + "x" + std::to_string(height);
}

// One capture of an X window, 8-bit red, green, blue per pixel.
struct Picture {
  int width = 0;
  int height = 0;
  std::string rgb;

  int Pixels() const { return width * height; }
  const unsigned char* At(int i) const {
    return reinterpret_cast<const unsigned char*>(rgb.data()) + 3 * i;
  }
  int Lit() const {
    int lit = 0;
    for (int i = 0; i < Pixels(); ++i) {
      lit += At(i)[0] + At(i)[1] + At(i)[2] > 60 ? 1 : 0;
    }
    return lit;
  }
  // The largest difference between two channels of one pixel: 0 for a grey picture.
  int ColourSpread() const {
    int spread = 0;
    for (int i = 0; i < Pixels(); ++i) {
      const unsigned char* p = At(i);
      spread = std::max({spread, std::abs(p[0] - p[1]), std::abs(p[1] - p[2])});
    }
    return spread;
  }
  int Differences(const Picture& other) const {
    int count = 0;
    for (int i = 0; i < Pixels(); ++i) {
      count += std::abs(At(i)[0] - other.At(i)[0]) + std::abs(At(i)[1] - other.At(i)[1]) +
                           std::abs(At(i)[2] - other.At(i)[2]) >
                       24
                   ? 1
                   : 0;
    }
    return count;
  }
};

// NOTE: import clips to the screen, and Wine puts the off-screen window at (-1, -1), so
// the capture is read with the size its header gives.
Picture CaptureXWindow(const std::string& id) {
  std::istringstream ppm(HostShell("import -window " + id + " -depth 8 ppm:-"));
  std::string magic;
  int max_value = 0;
  Picture p;
  ppm >> magic >> p.width >> p.height >> max_value;
  ppm.get();
  p.rgb.assign(std::istreambuf_iterator<char>(ppm), std::istreambuf_iterator<char>());
  EXPECT_EQ(magic, "P6") << "capture of " << id;
  EXPECT_EQ(p.rgb.size(), static_cast<size_t>(p.width * p.height * 3)) << "capture of " << id;
  p.rgb.resize(static_cast<size_t>(p.width * p.height * 3));
  return p;
}

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
  DialogHost() : x_windows_before_(XWindows()) {
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

  // NOTE: Wine draws another process's child OpenGL window into an off-screen X window
  // of its own: the preview's pixels are read there. It is the new X window of the size.
  std::string XWindow(int width, int height) const {
    std::string found;
    PumpUntil(
        [&] {
          for (const auto& [id, size] : XWindows()) {
            if (size == SizeText(width, height) && x_windows_before_.count(id) == 0) {
              found = id;
            }
          }
          return !found.empty();
        },
        10000);
    if (!found.empty()) {
      return found;
    }
    ADD_FAILURE() << "no X window of " << SizeText(width, height);
    return {};
  }

  HWND dialog = nullptr;
  HWND area = nullptr;
  HWND preview = nullptr;

 private:
  std::map<std::string, std::string> x_windows_before_;
  UniqueKernelHandle dialog_process_;
  UniqueKernelHandle saver_;
};

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
  EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_DISABLED), WS_CHILD | WS_VISIBLE | WS_DISABLED);

  const std::string id = host.XWindow(kAreaWidth, kAreaHeight);
  ASSERT_FALSE(id.empty());
  PumpFor(500);
  const Picture before = CaptureXWindow(id);
  const Screenshot screen_before;
  PumpFor(1100);
  const Picture after = CaptureXWindow(id);
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
  PumpFor(500);

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
  PumpFor(1000);
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
  const Picture before = CaptureXWindow(id);
  PumpFor(1100);
  const Picture after = CaptureXWindow(id);
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
  PumpFor(500);
  const Screenshot screen;
  EXPECT_GT(screen.Brightness((r.left + r.right) / 2, (r.top + r.bottom) / 2), 200);

  SetForegroundWindow(popup);
  PumpFor(200);
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
