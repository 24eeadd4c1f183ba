#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "SaverProcess.h"
#include "settings/win32/RegistryStore.h"
#include "tests/support/Input.h"
#include "tests/support/PolicyKeys.h"
#include "win32/WinHandles.h"

namespace {

constexpr int kStartX = 400;
constexpr int kStartY = 300;

void MoveCursor(int x, int y) {
  EXPECT_TRUE(PlaceCursor(x, y));
}

// The saver takes the cursor's place at its start as the reference for leaving. A
// warp of the previous test can still come back from the X server after a new one,
// so the start place is set again until it holds.
void PlaceCursorAtStart() {
  const DWORD start = GetTickCount();
  POINT p{};
  BOOL placed = FALSE;
  DWORD refusal = 0;
  BOOL read = FALSE;
  DWORD read_error = 0;
  while (GetTickCount() - start < kStateBound_ms) {
    placed = SetCursorPos(kStartX, kStartY);
    refusal = placed ? 0 : GetLastError();
    PumpFor(50);  // a late warp that must not come back
    int settled = 0;
    while (settled < 3) {
      read = GetCursorPos(&p);
      read_error = read ? 0 : GetLastError();
      if (!read || p.x != kStartX || p.y != kStartY) {
        break;
      }
      PumpFor(100);  // likewise
      ++settled;
    }
    if (settled == 3) {
      return;
    }
  }
  ADD_FAILURE() << "the cursor does not stay at the start place: it is at " << p.x << "," << p.y
                << " (" << (read ? "read" : "not read") << ", error " << read_error
                << "); the last move was " << (placed ? "taken" : "refused") << " (error "
                << refusal << ")";
}

void SetPasswordSwitch(DWORD value) {
  HKEY raw = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                  nullptr, &raw, nullptr);
  const UniqueRegKey key(raw);
  RegSetValueExA(key.get(), "ScreenSaveUsePassword", 0, REG_DWORD,
                 reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

void ClearPasswordSwitch() {
  HKEY raw = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_ALL_ACCESS, &raw) ==
      ERROR_SUCCESS) {
    const UniqueRegKey key(raw);
    RegDeleteValueA(key.get(), "ScreenSaveUsePassword");
  }
}

class FullScreenSaver : public testing::Test {
 protected:
  void SetUp() override {
    ClearPasswordSwitch();
    DeleteStoredSettings();
    PlaceCursorAtStart();
  }
  void TearDown() override {
    saver_.reset();
    ClearPolicies();
    ClearPasswordSwitch();
    DeleteStoredSettings();
  }

  // Starts the saver and waits until its window is the active one and drawing. Null, and
  // a failure that says what was missing, when it did not get there: the caller stops.
  HWND Start(const std::string& working_dir = "") {
    return StartFullScreenSaver(saver_, working_dir);
  }

  // An end that must not come within `ms`.
  bool StillRunningAfter(DWORD ms) { return !saver_->WaitForExit(ms); }

  std::unique_ptr<SaverProcess> saver_;
};

// --- The window and its frames -------------------------------------------------------

TEST_F(FullScreenSaver, CoversTheScreenOnTopAndTellsTheSystem) {
  const HWND window = Start();
  ASSERT_NE(window, nullptr);
  RECT r{};
  GetWindowRect(window, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION);
  EXPECT_TRUE(ScreenSaverRunningFlag());
}

TEST_F(FullScreenSaver, FirstRunStoresTheFullScreenDefaults) {
  ASSERT_NE(Start(), nullptr);
  EXPECT_EQ(StoredSetting("Color"), 7);
  EXPECT_EQ(StoredSetting("Brightness"), 9);
  EXPECT_EQ(StoredSetting("Sizes"), 10);
  EXPECT_EQ(StoredSetting("Alpha"), 1);
  EXPECT_EQ(StoredSetting("Arrows"), 1);
  EXPECT_EQ(StoredSetting("Ar_Color"), 5);
  EXPECT_EQ(StoredSetting("Rands"), 0);
}

TEST_F(FullScreenSaver, FramesKeepComing) {
  ASSERT_NE(Start(), nullptr);
  const Screenshot first;
  // The second hand moved, at least.
  EXPECT_TRUE(WaitForScreenChange(first));
}

// The brightest pixel within two pixels of a point of the scene.
int BrightnessNear(const Screenshot& shot, double x, double y) {
  const POINT p = SceneToScreen(x, y, shot.Width(), shot.Height());
  int best = 0;
  for (int dy = -2; dy <= 2; ++dy) {
    for (int dx = -2; dx <= 2; ++dx) {
      best = std::max(best, shot.Brightness(p.x + dx, p.y + dy));
    }
  }
  return best;
}

// Degrees counter-clockwise from 3 o'clock, as the hands are turned.
double HandDirection(double angle_deg) {
  return (angle_deg + 90.0) * std::numbers::pi / 180.0;
}

double AngularDistance(double a, double b) {
  double d = std::fmod(std::fabs(a - b), 2 * std::numbers::pi);
  return d > std::numbers::pi ? 2 * std::numbers::pi - d : d;
}

TEST_F(FullScreenSaver, HandsStandWhereTheTimePutsThem) {
  // No dial (Color 0), white hands of a wide style, so only the hands light these spots.
  StoreSettings(9, 10, 0, 1, 6, 1, 0);
  ASSERT_NE(Start(), nullptr);
  for (int attempt = 0; attempt < 3; ++attempt) {
    SYSTEMTIME before;
    GetLocalTime(&before);
    const Screenshot shot;
    SYSTEMTIME after;
    GetLocalTime(&after);
    if (before.wMinute != after.wMinute || before.wSecond == 0) {
      WaitForScreenChange(shot);
      continue;  // the frame on screen may be from the minute before; take another
    }
    // The frame on screen was drawn up to a frame's time before the shot, so it may
    // still show the second before.
    const double second = HandDirection(-6.0 * before.wSecond);
    const double second_before = HandDirection(-6.0 * (before.wSecond - 1));
    const double minute = HandDirection(-6.0 * before.wMinute);
    const double hour = HandDirection(-30.0 * before.wHour - before.wMinute / 2.0);
    SCOPED_TRACE(testing::Message()
                 << before.wHour << ":" << before.wMinute << ":" << before.wSecond);
    EXPECT_GT(BrightnessNear(shot, 0.55 * std::cos(hour), 0.55 * std::sin(hour)), 300);
    EXPECT_GT(BrightnessNear(shot, 0.95 * std::cos(minute), 0.95 * std::sin(minute)), 300);
    EXPECT_GT(std::max(BrightnessNear(shot, 1.45 * std::cos(second), 1.45 * std::sin(second)),
                       BrightnessNear(shot, 1.45 * std::cos(second_before),
                                      1.45 * std::sin(second_before))),
              300);

    // A direction well away from all three hands stays dark.
    double control = 0;
    double widest = -1;
    for (int step = 0; step < 72; ++step) {
      const double a = step * std::numbers::pi / 36;
      const double gap = std::min({AngularDistance(a, second), AngularDistance(a, second_before),
                                   AngularDistance(a, minute), AngularDistance(a, hour)});
      if (gap > widest) {
        widest = gap;
        control = a;
      }
    }
    for (double r : {0.55, 0.95, 1.45}) {
      EXPECT_LT(BrightnessNear(shot, r * std::cos(control), r * std::sin(control)), 60);
    }
    if (HasFailure()) {
      shot.Save("hands-failure.bmp");
    }
    return;
  }
  FAIL() << "no screenshot within one minute";
}

// Lit pixels on rings around the centre, where the dial lies and the hands rarely do.
int LitRingPixels(const Screenshot& shot) {
  int lit = 0;
  for (double r : {0.35, 0.75, 1.15}) {
    for (int step = 0; step < 72; ++step) {
      const double a = step * std::numbers::pi / 36;
      const POINT p = SceneToScreen(r * std::cos(a), r * std::sin(a), shot.Width(), shot.Height());
      lit += shot.Brightness(p.x, p.y) > 40 ? 1 : 0;
    }
  }
  return lit;
}

TEST_F(FullScreenSaver, DrawsTheStoredDialAndNoneForColorZeroOrEleven) {
  StoreSettings(9, 10, 7, 1, 10, 1, 0);
  ASSERT_NE(Start(), nullptr);
  const int with_dial = LitRingPixels(Screenshot());
  saver_.reset();

  for (int color : {0, 11}) {
    StoreSettings(9, 10, color, 1, 10, 1, 0);
    ASSERT_NE(Start(), nullptr);
    const int without_dial = LitRingPixels(Screenshot());
    saver_.reset();
    EXPECT_LT(without_dial, 20) << "Color " << color;
    EXPECT_GT(with_dial, without_dial + 60) << "Color " << color;
  }
}

// The dial the administrator's policy sets is drawn, not the user's; a value that is out
// of range or of the wrong type is ignored, and the computer's beats the user's.
TEST_F(FullScreenSaver, DrawsThePolicysDialNotTheUsers) {
  struct Case {
    const char* what;
    int32_t users_dial;
    std::vector<PolicyEntry> policy;
    bool dial;
  };
  const Case cases[] = {
      {"the computer's dial 7 over the user's none",
       0,
       {{HKEY_LOCAL_MACHINE, "Color", REG_DWORD, 7}},
       true},
      {"the user's policy dial 7 over the user's none",
       0,
       {{HKEY_CURRENT_USER, "Color", REG_DWORD, 7}},
       true},
      {"the computer's none beats the user's policy dial",
       7,
       {{HKEY_LOCAL_MACHINE, "Color", REG_DWORD, 0}, {HKEY_CURRENT_USER, "Color", REG_DWORD, 7}},
       false},
      {"dial 11 is out of range: the user's none",
       0,
       {{HKEY_LOCAL_MACHINE, "Color", REG_DWORD, 11}},
       false},
      {"dial as text is ignored: the user's none",
       0,
       {{HKEY_LOCAL_MACHINE, "Color", REG_SZ, 0, "7"}},
       false},
      {"random mode by policy keeps the policy's dial and its colour",
       0,
       {{HKEY_LOCAL_MACHINE, "Rands", REG_DWORD, 1},
        {HKEY_LOCAL_MACHINE, "Color", REG_DWORD, 7},
        {HKEY_CURRENT_USER, "Alpha", REG_DWORD, 1}},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StoreSettings(9, 10, c.users_dial, 1, 10, 1, 0);
    WritePolicies(c.policy);
    const std::vector<std::string> policy_values = PolicyValueNames();
    ASSERT_NE(Start(), nullptr);
    const int lit = LitRingPixels(Screenshot());
    saver_.reset();
    if (c.dial) {
      EXPECT_GT(lit, 80);
    } else {
      EXPECT_LT(lit, 20);
    }
    // The user's own value is kept, and nothing went into the policy keys.
    EXPECT_EQ(StoredSetting("Color"), c.users_dial);
    EXPECT_EQ(PolicyValueNames(), policy_values);
    ClearPolicies();
  }
}

// Caption-coloured pixels (orange, no blue) in the band of the first caption line.
int CaptionPixels(const Screenshot& shot) {
  const POINT origin = SceneToScreen(-1.0, 1.2, shot.Width(), shot.Height());
  int count = 0;
  for (int y = std::max(0, static_cast<int>(origin.y) - 45); y <= origin.y + 8; ++y) {
    for (int x = origin.x; x < std::min(shot.Width(), static_cast<int>(origin.x) + 500); ++x) {
      if (shot.Red(x, y) > 90 && shot.Blue(x, y) < 50 && shot.Red(x, y) >= shot.Green(x, y)) {
        ++count;
      }
    }
  }
  return count;
}

// The widths of the unlit column runs between the first line's characters, widest first.
std::vector<int> CaptionLineGaps(const Screenshot& shot) {
  const POINT origin = SceneToScreen(-1.0, 1.2, shot.Width(), shot.Height());
  std::vector<int> gaps;
  int last_lit = -1;
  for (int x = origin.x; x < std::min(shot.Width(), static_cast<int>(origin.x) + 600); ++x) {
    bool lit = false;
    for (int y = std::max(0, static_cast<int>(origin.y) - 45); y <= origin.y + 8 && !lit; ++y) {
      lit = shot.Red(x, y) > 90 && shot.Blue(x, y) < 50 && shot.Red(x, y) >= shot.Green(x, y);
    }
    if (lit) {
      if (last_lit >= 0 && x - last_lit > 1) {
        gaps.push_back(x - last_lit - 1);
      }
      last_lit = x;
    }
  }
  std::sort(gaps.rbegin(), gaps.rend());
  return gaps;
}

// The space's width in the caption font the saver makes for this screen width.
int CaptionSpaceWidth(int screen_width) {
  const int height = static_cast<int>(std::nearbyint(screen_width / 30.0));
  const HFONT font =
      CreateFontA(-height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                  CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, 0, "Courier New");
  const HDC dc = GetDC(nullptr);
  const HGDIOBJ previous = SelectObject(dc, font);
  INT width = 0;
  GetCharWidth32A(dc, ' ', ' ', &width);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  return width;
}

TEST_F(FullScreenSaver, CaptionFadesInOverTenSeconds) {
  // White hands and no dial: nothing else is orange.
  StoreSettings(9, 10, 0, 1, 6, 1, 0);
  ASSERT_NE(Start(), nullptr);
  const DWORD shown = GetTickCount();
  EXPECT_LT(CaptionPixels(Screenshot()), 10);
  // The fade counts frames, so a loaded machine takes longer: wait for it, then check
  // it did not come early.
  int pixels = 0;
  DWORD visible_after_ms = 0;
  if (PumpUntil(
          [&pixels] {
            pixels = CaptionPixels(Screenshot());
            return pixels > 200;
          },
          40000, 250)) {
    visible_after_ms = GetTickCount() - shown;
  }
  EXPECT_GT(pixels, 200);
  EXPECT_GT(visible_after_ms, 8000u);

  // "Screensavers & Wallpaper": the two widest gaps in the first line are its spaces,
  // each at least as wide as the caption font's space.
  const Screenshot shot;
  const std::vector<int> gaps = CaptionLineGaps(shot);
  const int space_px = CaptionSpaceWidth(shot.Width());
  ASSERT_GE(gaps.size(), 2u);
  EXPECT_GE(gaps[0], space_px);
  EXPECT_GE(gaps[1], space_px);
  if (HasFailure()) {
    shot.Save("caption-failure.bmp");
  }
}

// --- Damaged settings --------------------------------------------------------------------

// The text of the saver's error box, once the user has read it and pressed OK; empty
// when no box came.
std::string AcknowledgeErrorBox(const SaverProcess& saver, DWORD timeout_ms) {
  const HWND box = saver.WaitForWindow("Tessaryn", timeout_ms);
  if (box == nullptr) {
    return "";
  }
  char text[256] = {};
  // The platform's message boxes give their text the static control id 0xFFFF.
  GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return text;
}

// Brightness stored as text is replaced by its default and costs no other setting; where
// it was the only non-zero tested value, the key holds nothing to draw with and is
// reseeded whole: the saver shows hands and a dial either way.
TEST_F(FullScreenSaver, BrightnessStoredAsTextIsSeededAndTheClockDrawn) {
  const struct {
    const char* what;
    int32_t stored[7];
    int32_t expected[7];
  } cases[] = {
      {"other values kept", {4, 12, 3, 2, 6, 7, 1}, {9, 12, 3, 2, 6, 7, 1}},
      {"the rest zero: reseeded", {4, 0, 0, 0, 0, 3, 0}, {9, 10, 7, 1, 1, 5, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const int32_t* v = c.stored;
    StoreSettings(v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
    {
      HKEY raw = nullptr;
      RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_ALL_ACCESS, &raw);
      const UniqueRegKey key(raw);
      RegSetValueExA(key.get(), "Brightness", 0, REG_SZ, reinterpret_cast<const BYTE*>("9"), 2);
    }
    saver_ = std::make_unique<SaverProcess>("/s");
    ASSERT_EQ(AcknowledgeErrorBox(*saver_, kAppearBound_ms), "Invalid data type for 'Brightness'");
    ASSERT_NE(saver_->WaitForWindow("Full"), nullptr);
    // A second box that must not come.
    EXPECT_EQ(AcknowledgeErrorBox(*saver_, 500), "");
    const char* names[] = {"Brightness", "Sizes", "Color", "Alpha", "Arrows", "Ar_Color", "Rands"};
    for (int i = 0; i < 7; ++i) {
      EXPECT_EQ(StoredSetting(names[i]), c.expected[i]) << names[i];
    }
    // The first frames may still be on their way once the window shows. With Rands 1 the
    // dial is drawn at random, possibly none; the reseeded key shows dial 7.
    EXPECT_TRUE(WaitForSaverFrames());
    if (c.expected[6] == 0) {
      EXPECT_TRUE(PumpUntil([] { return LitRingPixels(Screenshot()) > 60; }, kStateBound_ms, 100));
    }
    const Screenshot first;
    EXPECT_TRUE(WaitForScreenChange(first));
    saver_.reset();
  }
}

// --- Leaving ---------------------------------------------------------------------------

TEST_F(FullScreenSaver, KeyPressEndsItAtOnceAndClearsTheSystemFlag) {
  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(ScreenSaverRunningFlag());
  PressKey(VK_SPACE);
  EXPECT_TRUE(saver_->WaitForExit(kStateBound_ms));
  EXPECT_FALSE(ScreenSaverRunningFlag());
}

TEST_F(FullScreenSaver, SixteenPixelsOnOneAxisLeave) {
  ASSERT_NE(Start(), nullptr);
  MoveCursor(kStartX + 16, kStartY);
  EXPECT_TRUE(saver_->WaitForExit(kStateBound_ms));
}

// A small window of the test's own, in the top-left corner, that can take activation.
class Intruder {
 public:
  Intruder()
      : window_(CreateWindowExA(WS_EX_TOPMOST, "STATIC", "intruder", WS_POPUP | WS_VISIBLE, 0, 0,
                                80, 60, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr)) {}
  HWND Handle() const { return window_.get(); }

 private:
  UniqueWindow window_;
};

TEST_F(FullScreenSaver, WhileInactiveKeysAreIgnoredAndMovesOnlyMoveTheReference) {
  const HWND saver_window = Start();
  ASSERT_NE(saver_window, nullptr);
  {
    Intruder intruder;
    EXPECT_TRUE(BringToFront(intruder.Handle()));
    ASSERT_EQ(GetForegroundWindow(), intruder.Handle());
    PostMessageA(saver_window, WM_KEYDOWN, VK_SPACE, 0);
    MoveCursor(kStartX + 200, kStartY);
    EXPECT_TRUE(StillRunningAfter(800));
    EXPECT_TRUE(BringToFront(saver_window));
  }
  ASSERT_EQ(GetForegroundWindow(), saver_window);
  // Activation came back: the context was made again and frames go on.
  const Screenshot before;
  EXPECT_TRUE(WaitForScreenChange(before));
  // 10 pixels from the new reference: stays; it would be 210 from the first one.
  MoveCursor(kStartX + 210, kStartY);
  EXPECT_TRUE(StillRunningAfter(800));
  MoveCursor(kStartX + 220, kStartY);
  EXPECT_TRUE(saver_->WaitForExit(kStateBound_ms));
}

// --- The password check ------------------------------------------------------------------

class PasswordCheck : public FullScreenSaver {
 protected:
  void SetUp() override {
    FullScreenSaver::SetUp();
    log_ = TestProgramDir() + "\\verify.log";
    DeleteFileA(log_.c_str());
    SetEnvironmentVariableA("TESSARYN_TEST_VERIFY_LOG", log_.c_str());
  }
  void TearDown() override {
    FullScreenSaver::TearDown();
    for (const std::string& path : {SystemLibraryPath(), PlantedBesideSaver()}) {
      DeleteFileA(path.c_str());
    }
    SetEnvironmentVariableA("TESSARYN_TEST_VERIFY_LOG", nullptr);
    SetEnvironmentVariableA("TESSARYN_TEST_VERIFY_RESULT", nullptr);
  }
  static std::string OwnLibrary() { return PasswordLibraryDir() + "\\PASSWORD.CPL"; }
  static std::string SystemLibraryPath() {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\PASSWORD.CPL";
  }
  static std::string PlantedBesideSaver() {
    const std::string saver = SaverPath();
    return saver.substr(0, saver.find_last_of('\\')) + "\\PASSWORD.CPL";
  }
  // The test's own library where the system keeps its password library.
  static void InstallSystemLibrary() {
    ASSERT_TRUE(CopyFileA(OwnLibrary().c_str(), SystemLibraryPath().c_str(), FALSE));
  }
  std::string Log() const {
    std::ifstream in(log_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::string log_;
};

TEST_F(PasswordCheck, RefusedPasswordKeepsTheSaverRunning) {
  SetPasswordSwitch(1);
  SetEnvironmentVariableA("TESSARYN_TEST_VERIFY_RESULT", "0");
  InstallSystemLibrary();
  ASSERT_NE(Start(), nullptr);
  PressKey(VK_SPACE);
  // The system's dialog was asked for, owned by the saver, with the cursor visible.
  EXPECT_TRUE(PumpUntil([this] { return Log().find('\n') != std::string::npos; }, kStateBound_ms))
      << "no dialog asked for";
  EXPECT_EQ(Log(), "owner=Full cursor=shown\n");
  EXPECT_TRUE(StillRunningAfter(1500));
  EXPECT_TRUE(ScreenSaverRunningFlag());
}

// A key ends the saver at once unless the check refuses: the password accepted, no
// library where the system keeps it, one planted in the working folder or beside the
// saver (never run: the check goes on as without the library), or the switch off.
TEST_F(PasswordCheck, AKeyEndsTheSaverWhenTheCheckAcceptsOrCannotAsk) {
  enum class Library { None, System, Planted };
  const struct {
    const char* what;
    DWORD use_password;
    const char* verify_result;  // what the library answers, if asked
    Library library;
    std::string log;
  } cases[] = {
      {"password accepted", 1, "1", Library::System, "owner=Full cursor=shown\n"},
      {"no library", 1, nullptr, Library::None, ""},
      {"library planted", 1, "1", Library::Planted, ""},
      {"switch off", 0, "0", Library::System, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    SetPasswordSwitch(c.use_password);
    SetEnvironmentVariableA("TESSARYN_TEST_VERIFY_RESULT", c.verify_result);
    if (c.library == Library::System) {
      InstallSystemLibrary();
    } else if (c.library == Library::Planted) {
      ASSERT_TRUE(CopyFileA(OwnLibrary().c_str(), PlantedBesideSaver().c_str(), FALSE));
    }
    ASSERT_NE(Start(c.library == Library::Planted ? PasswordLibraryDir() : ""), nullptr);
    PressKey(VK_SPACE);
    EXPECT_TRUE(saver_->WaitForExit(kStateBound_ms));
    EXPECT_EQ(Log(), c.log);
    EXPECT_FALSE(ScreenSaverRunningFlag());
  }
}

}  // namespace
