#include <gtest/gtest.h>

#include "SaverProcess.h"
#include "XWindows.h"
#include "tests/support/Input.h"
#include "tests/support/PolicyKeys.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// The window's controls in their tab order, where they must sit (client pixels at 96 DPI).
struct ExpectedControl {
  const char* class_name;
  const char* text;
  RECT bounds;  // left, top, right, bottom
  int min = 0;
  int max = 0;
};

constexpr const char* kTrack = "msctls_trackbar32";
// The window the clock is drawn in, a child of the form below its controls.
constexpr const char* kClockClass = "TessarynGlPanel";
// Wine's token holds the clock's privilege: "Clock synchronization" wears no shield and
// keeps its designed size.
const ExpectedControl kLayout[] = {
    {kTrack, "", {3, 327, 123, 337}, 1, 10},                          // TrackBar1, Arrows
    {"Button", "Save", {11, 376, 86, 393}},                           // Button1
    {"Button", "Clock synchronization", {117, 376, 277, 393}, 0, 0},  // Button2
    {"Static", "Arrows", {10, 309, 62, 329}},                         // StaticText1
    {kTrack, "", {3, 359, 123, 369}, 1, 10},                          // TrackBar2, Ar_Color
    {kTrack, "", {136, 327, 256, 337}, 5, 15},                        // TrackBar3, Sizes
    {kTrack, "", {136, 359, 256, 369}, 0, 10},                        // TrackBar4, Color
    {kTrack, "", {270, 327, 390, 337}, 1, 10},                        // TrackBar5, Alpha
    {"Static", "Arrows Color", {10, 342, 103, 362}},                  // StaticText2
    {"Static", "Digital Size", {143, 309, 227, 329}},                 // StaticText3
    {"Static", "Dial", {143, 342, 176, 362}},                         // StaticText4
    {"Static", "Dial Color", {277, 309, 351, 329}},                   // StaticText5
    {kTrack, "", {270, 359, 390, 369}, 0, 10},                        // TrackBar6, Brightness
    {"Static", "Brightness", {277, 342, 355, 362}},                   // StaticText6
    {"Button", "Random", {10, 290, 107, 307}},                        // CheckBox1
};
// Where TrackBar1 to TrackBar6 and CheckBox1 are in that order.
constexpr int kTrackBar[] = {-1, 0, 4, 5, 6, 7, 12};
constexpr int kCheckBox1 = 14;

// Input reaches the window in the order it was given; each check then waits for the
// state the input must bring.
void ClickAt(POINT screen) {
  EXPECT_TRUE(PlaceCursor(screen.x, screen.y));
  ClickLeft();
}

constexpr DWORD kPictureCheck_ms = 40;

std::string ClassOf(HWND hwnd) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof(name));
  return name;
}

class SettingsWindow : public testing::Test {
 protected:
  void SetUp() override {
    DeleteStoredSettings();
    ClearPolicies();
  }
  void TearDown() override {
    saver_.reset();
    ClearPolicies();
    DeleteStoredSettings();
  }

  // Starts /c and waits until the window is the active one and drawing.
  void Open() {
    const XWindowSizes before = UnnamedXWindows();
    saver_ = std::make_unique<SaverProcess>("/c");
    ASSERT_TRUE(saver_->Started());
    window_ = saver_->WaitForWindow("Tessaryn Settings");
    ASSERT_NE(window_, nullptr);
    // Input sent before the X server shows the window would go elsewhere.
    ASSERT_TRUE(PumpUntil([] { return XWindowViewable("Tessaryn Settings"); }, kStateBound_ms, 50));
    ASSERT_TRUE(BringToFront(window_));
    controls_.clear();
    clock_ = nullptr;
    for (HWND c = GetWindow(window_, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
      if (ClassOf(c) == kClockClass) {
        clock_ = c;
      } else {
        controls_.push_back(c);
      }
    }
    ASSERT_EQ(controls_.size(), std::size(kLayout));
    ASSERT_NE(clock_, nullptr) << "no clock window in the form";
    RECT client{};
    GetClientRect(clock_, &client);
    clock_x_window_ = NewXWindowOfSize(client.right, client.bottom, before);
    ASSERT_FALSE(clock_x_window_.empty());
    // Drawing: the hands at least are lit.
    ASSERT_TRUE(PumpUntil([this] { return ClockLight(ClockPicture()).first > 100; }, kStateBound_ms,
                          kPictureCheck_ms));
  }
  // The clock's pixels, in its window's client coordinates (the form's client area).
  Picture ClockPicture() const { return CaptureXWindow(clock_x_window_); }

  HWND TrackBar(int n) const { return controls_[static_cast<size_t>(kTrackBar[n])]; }
  int Position(int n) const {
    return static_cast<int>(SendMessageA(TrackBar(n), TBM_GETPOS, 0, 0));
  }
  HWND Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info);
    return info.hwndFocus;
  }
  bool FocusReaches(HWND control) const {
    return PumpUntil([&] { return Focus() == control; }, kStateBound_ms);
  }
  // Tab from the first control on, one stop at a time.
  void FocusControl(int index) {
    ASSERT_TRUE(BringToFront(window_));
    for (int i = 0; i < 20 && Focus() != controls_[static_cast<size_t>(index)]; ++i) {
      const HWND from = Focus();
      PressKey(VK_TAB);
      ASSERT_TRUE(PumpUntil([&] { return Focus() != from; }, kStateBound_ms));
    }
    ASSERT_EQ(Focus(), controls_[static_cast<size_t>(index)]);
  }
  bool PositionReaches(int n, int position) const {
    return PumpUntil([&] { return Position(n) == position; }, kStateBound_ms);
  }
  POINT OnScreen(int x, int y) const {
    POINT p{x, y};
    ClientToScreen(window_, &p);
    return p;
  }
  POINT CentreOf(HWND control) const {
    RECT r{};
    GetWindowRect(control, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  // The clock's part of the window, above the controls.
  template <typename PixelFn>
  void ForClockPixels(const Picture& p, PixelFn fn) const {
    for (int y = 10; y < std::min(285, p.height); ++y) {
      for (int x = 0; x < p.width; ++x) {
        fn(x, y);
      }
    }
  }
  int ClockDifferences(const Picture& a, const Picture& b) const {
    int count = 0;
    ForClockPixels(a, [&](int x, int y) { count += std::memcmp(a.At(x, y), b.At(x, y), 3) != 0; });
    return count;
  }
  // A picture taken just after the second hand moved, or after a second at most.
  Picture AfterTick() const {
    Picture last = ClockPicture();
    PumpUntil(
        [&] {
          Picture now = ClockPicture();
          const bool ticked = ClockDifferences(last, now) > 300;
          last = std::move(now);
          return ticked;
        },
        1000, kPictureCheck_ms);
    return last;
  }
  // Lit pixels of the clock and their summed brightness.
  std::pair<int, long> ClockLight(const Picture& p) const {
    std::pair<int, long> light{0, 0};
    ForClockPixels(p, [&](int x, int y) {
      light.first += p.Brightness(x, y) > 60;
      light.second += p.Brightness(x, y);
    });
    return light;
  }
  std::vector<int> StoredAll() const {
    std::vector<int> v;
    for (const char* name : {"Arrows", "Ar_Color", "Sizes", "Color", "Alpha", "Brightness"}) {
      v.push_back(StoredSetting(name));
    }
    return v;
  }
  std::vector<int> Shown() const {
    return {Position(1), Position(2), Position(3), Position(4), Position(5), Position(6)};
  }
  bool CheckBoxChecked() const {
    return SendMessageA(controls_[kCheckBox1], BM_GETCHECK, 0, 0) == BST_CHECKED;
  }

  std::unique_ptr<SaverProcess> saver_;
  HWND window_ = nullptr;
  std::vector<HWND> controls_;
  HWND clock_ = nullptr;
  std::string clock_x_window_;
};

TEST_F(SettingsWindow, FirstStartStoresItsDefaultsAndShowsTheControlsInPlace) {
  Open();
  // The settings window seeds dial 5, not the saver's 7, and random mode off.
  const std::vector<int> seeded = {1, 5, 10, 5, 1, 9};
  EXPECT_EQ(StoredAll(), seeded);
  EXPECT_EQ(StoredSetting("Rands"), 0);
  EXPECT_EQ(Shown(), seeded);
  EXPECT_FALSE(CheckBoxChecked());

  const LONG style = GetWindowLongA(window_, GWL_STYLE);
  EXPECT_TRUE((style & WS_SYSMENU) && (style & WS_MINIMIZEBOX) && (style & WS_CAPTION));
  EXPECT_FALSE((style & WS_THICKFRAME) || (style & WS_MAXIMIZEBOX));
  // A taskbar button.
  EXPECT_TRUE(GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  RECT outer{};
  RECT client{};
  GetWindowRect(window_, &outer);
  GetClientRect(window_, &client);
  EXPECT_EQ(outer.right - outer.left, 400);
  EXPECT_EQ(outer.bottom - outer.top, 430);
  // Centred by the client size; the screen and the frame here give whole numbers.
  EXPECT_NEAR(outer.left, (GetSystemMetrics(SM_CXSCREEN) - client.right) / 2.0, 0.5);
  EXPECT_NEAR(outer.top, (GetSystemMetrics(SM_CYSCREEN) - client.bottom) / 2.0, 0.5);

  for (size_t i = 0; i < std::size(kLayout); ++i) {
    const ExpectedControl& expected = kLayout[i];
    const HWND c = controls_[i];
    SCOPED_TRACE(std::string(expected.class_name) + " \"" + expected.text + "\"");
    EXPECT_EQ(_stricmp(ClassOf(c).c_str(), expected.class_name), 0) << ClassOf(c);
    EXPECT_EQ(WindowText(c), expected.text);
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_TRUE(EqualRect(&r, &expected.bounds))
        << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top;
    if (expected.class_name == kTrack) {
      EXPECT_EQ(SendMessageA(c, TBM_GETRANGEMIN, 0, 0), expected.min);
      EXPECT_EQ(SendMessageA(c, TBM_GETRANGEMAX, 0, 0), expected.max);
      EXPECT_EQ(SendMessageA(c, TBM_GETLINESIZE, 0, 0), 1);
      EXPECT_EQ(SendMessageA(c, TBM_GETPAGESIZE, 0, 0), 2);
      EXPECT_EQ(GetWindowLongA(c, GWL_STYLE) & (TBS_VERT | TBS_TOP | TBS_AUTOTICKS), TBS_AUTOTICKS);
    }
  }

  // The labels are drawn in their colour.
  const Screenshot shot;
  RECT label{};
  GetWindowRect(controls_[3], &label);
  bool found = false;
  for (int y = label.top; y < label.bottom && !found; ++y) {
    for (int x = label.left; x < label.right && !found; ++x) {
      found = shot.Red(x, y) == 225 && shot.Green(x, y) == 190 && shot.Blue(x, y) == 0;
    }
  }
  EXPECT_TRUE(found) << "no pixel of RGB(225, 190, 0) in \"Arrows\"";

  // Tab walks the controls that take the focus, in their order, and comes round again.
  const int stops[] = {0, 1, 2, 4, 5, 6, 7, 12, kCheckBox1, 0};
  ASSERT_EQ(Focus(), controls_[0]);
  for (size_t i = 1; i < std::size(stops); ++i) {
    PressKey(VK_TAB);
    EXPECT_TRUE(FocusReaches(controls_[static_cast<size_t>(stops[i])])) << "tab " << i;
  }
}

// A window of the form's process, other than the form, that a user would see.
HWND OtherVisibleWindow(HWND form) {
  DWORD process = 0;
  GetWindowThreadProcessId(form, &process);
  return TopLevelWindowOf(process,
                          [form](HWND hwnd) { return hwnd != form && IsWindowVisible(hwnd); });
}

TEST_F(SettingsWindow, ClockIsAChildWindowBelowTheControlsThatGoesWhereTheFormGoes) {
  Open();
  EXPECT_EQ(GetParent(clock_), window_);
  EXPECT_EQ(GetWindowLongA(clock_, GWL_STYLE) & (WS_CHILD | WS_CLIPSIBLINGS | WS_DISABLED),
            WS_CHILD | WS_CLIPSIBLINGS | WS_DISABLED);
  EXPECT_EQ(GetClassLongA(clock_, GCL_STYLE) & (CS_OWNDC | CS_PARENTDC), CS_OWNDC);
  // Last in the z-order: every control lies above it.
  EXPECT_EQ(GetWindow(clock_, GW_HWNDNEXT), nullptr);
  EXPECT_EQ(OtherVisibleWindow(window_), nullptr) << "a pop-up besides the form";
  RECT client{};
  GetClientRect(window_, &client);
  RECT area{};
  GetWindowRect(clock_, &area);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&area), 2);
  EXPECT_TRUE(EqualRect(&area, &client));

  // The viewport of a 400 x 430 window: from 100 pixels above its bottom edge, 300 high.
  const Picture clock = ClockPicture();
  // NOTE: the capture misses the rows and columns that Wine's off-screen place puts
  // off the screen (see CaptureXWindow): the picture starts that far into the window.
  const int shift_x = client.right - clock.width;
  const int shift_y = client.bottom - clock.height;
  ASSERT_TRUE(shift_x >= 0 && shift_x <= 1 && shift_y >= 0 && shift_y <= 1);
  const int viewport_bottom = client.bottom - 100;
  const int viewport_top = viewport_bottom - 300;
  int lit_inside = 0;
  int lit_outside = 0;
  long lit_x_sum = 0;
  for (int y = 0; y < clock.height; ++y) {
    for (int x = 0; x < clock.width; ++x) {
      const bool lit = clock.Brightness(x, y) > 60;
      const bool inside = y + shift_y >= viewport_top && y + shift_y < viewport_bottom;
      (inside ? lit_inside : lit_outside) += lit;
      lit_x_sum += lit && inside ? x + shift_x : 0;
    }
  }
  EXPECT_GT(lit_inside, clock.Pixels() / 10);
  EXPECT_EQ(lit_outside, 0);
  // Centred on the 400-pixel viewport, less the shift of 0.025 units (about 2 pixels).
  EXPECT_NEAR(static_cast<double>(lit_x_sum) / lit_inside, 198.0, 12.0);

  // Moved, minimised and restored, the clock goes with the form and keeps running.
  POINT origin_before{0, 0};
  ClientToScreen(window_, &origin_before);
  RECT outer{};
  GetWindowRect(window_, &outer);
  SetWindowPos(window_, nullptr, outer.left - 40, outer.top + 30, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  POINT origin{0, 0};
  ClientToScreen(window_, &origin);
  EXPECT_EQ(origin.x, origin_before.x - 40);
  EXPECT_EQ(origin.y, origin_before.y + 30);
  GetWindowRect(clock_, &area);
  EXPECT_EQ(area.left, origin.x);
  EXPECT_EQ(area.top, origin.y);
  // A minimised form shows no clock and draws none; restored, it draws again.
  ShowWindow(window_, SW_MINIMIZE);
  EXPECT_TRUE(PumpUntil([&] { return IsIconic(window_) != FALSE; }, kStateBound_ms));
  ShowWindow(window_, SW_RESTORE);
  EXPECT_TRUE(PumpUntil([&] { return !IsIconic(window_); }, kStateBound_ms));
  // Its off-screen X window is shown again a little after the form.
  Picture before;
  EXPECT_TRUE(PumpUntil(
      [&] {
        before = TryCaptureXWindow(clock_x_window_);
        return !before.rgb.empty();
      },
      kStateBound_ms, kPictureCheck_ms));
  EXPECT_TRUE(PumpUntil([&] { return ClockDifferences(before, ClockPicture()) > 20; },
                        kStateBound_ms, kPictureCheck_ms))
      << "the clock stands still after the restore";
}

TEST_F(SettingsWindow, EverySliderChangesTheLiveClockAtOnce) {
  Open();
  // The smallest change measured here, numerals from 5 to 15, is about 2,500 pixels.
  constexpr int kChangeOfASetting = 1000;
  const Picture with_dial = ClockPicture();
  struct Move {
    int trackbar;
    WORD first_key;  // a key pressed before the measured one, or 0
    int first_position;
    WORD key;
    int position;
  };
  // The dial's colour first, while there is a dial; then no dial. The numerals grow from
  // their smallest to their largest.
  const Move moves[] = {
      {5, 0, 0, VK_RIGHT, 2}, {4, 0, 0, VK_HOME, 0},       {1, 0, 0, VK_END, 10},
      {2, 0, 0, VK_RIGHT, 6}, {3, VK_HOME, 5, VK_END, 15},
  };
  for (const Move& m : moves) {
    SCOPED_TRACE("TrackBar" + std::to_string(m.trackbar));
    FocusControl(kTrackBar[m.trackbar]);
    if (m.first_key != 0) {
      PressKey(m.first_key);
      ASSERT_TRUE(PositionReaches(m.trackbar, m.first_position));
    }
    // Right after a tick of the second hand the clock stands still for most of a second.
    const Picture still = AfterTick();
    PressKey(m.key);
    EXPECT_TRUE(PositionReaches(m.trackbar, m.position));
    EXPECT_TRUE(
        PumpUntil([&] { return ClockDifferences(still, ClockPicture()) > kChangeOfASetting; },
                  kStateBound_ms, kPictureCheck_ms));
  }

  // With no dial only the hands, marks and numerals are lit.
  const Picture no_dial = ClockPicture();
  EXPECT_LT(ClockLight(no_dial).first * 3, ClockLight(with_dial).first);

  // Brightness down to 0 with the mouse: each click left of the thumb pages by 2.
  RECT track{};
  GetWindowRect(TrackBar(6), &track);
  for (int i = 0; i < 6; ++i) {
    ClickAt({track.left + 4, (track.top + track.bottom) / 2});
  }
  EXPECT_TRUE(PositionReaches(6, 0));
  // Only the ambient light is left: a fifth of the light in theory.
  const long light = ClockLight(no_dial).second;
  EXPECT_TRUE(PumpUntil([&] { return ClockLight(ClockPicture()).second * 10 < light * 4; },
                        kStateBound_ms, kPictureCheck_ms));
}

TEST_F(SettingsWindow, SaveStoresWhatTheSlidersShowAndLeavingWithoutSaveStoresNothing) {
  StoreSettings(3, 12, 4, 2, 6, 8, 0);
  const std::vector<int> stored = {6, 8, 12, 4, 2, 3};
  Open();
  EXPECT_EQ(Shown(), stored);
  FocusControl(kTrackBar[1]);
  PressKey(VK_RIGHT);
  EXPECT_TRUE(PositionReaches(1, 7));
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(saver_->WaitForExit(kStateBound_ms));
  EXPECT_EQ(StoredAll(), stored);

  Open();
  FocusControl(kTrackBar[6]);
  PressKey(VK_NEXT);  // page: 3 + 2
  ASSERT_TRUE(PositionReaches(6, 5));
  ClickAt(CentreOf(controls_[kCheckBox1]));
  ASSERT_TRUE(PumpUntil([this] { return CheckBoxChecked(); }, kStateBound_ms));
  ClickAt(CentreOf(controls_[1]));  // Save
  const std::vector<int> expected = {6, 8, 12, 4, 2, 5};
  EXPECT_TRUE(PumpUntil([&] { return StoredAll() == expected && StoredSetting("Rands") == 1; },
                        kStateBound_ms));
  EXPECT_EQ(StoredAll(), expected);
  EXPECT_EQ(StoredSetting("Rands"), 1);

  // Alt+F4 closes as the close box does; nothing more is stored.
  FocusControl(kTrackBar[3]);
  PressKey(VK_LEFT);
  ASSERT_TRUE(PositionReaches(3, 11));
  SetForegroundWindow(window_);
  PressKey(VK_F4, VK_MENU);
  ASSERT_TRUE(saver_->WaitForExit(kStateBound_ms));
  EXPECT_EQ(StoredAll(), expected);
}

TEST_F(SettingsWindow, StoredValuesShowClampedOrRandomAndSaveStoresWhatShows) {
  struct Case {
    const char* name;
    std::vector<int> store;  // Brightness, Sizes, Color, Alpha, Arrows, Ar_Color, Rands
    std::vector<int> shown;  // Arrows, Ar_Color, Sizes, Color, Alpha, Brightness; -1: random
  };
  const Case cases[] = {
      {"Sizes 20 shows 15", {9, 20, 5, 1, 1, 5, 0}, {1, 5, 15, 5, 1, 9}},
      {"Arrows 0 shows 1", {9, 10, 5, 1, 0, 5, 0}, {1, 5, 10, 5, 1, 9}},
      // Never 10 drawn at random, so every pick shows as a change.
      {"Rands 1 picks", {9, 10, 10, 10, 10, 10, 1}, {-1, -1, 10, -1, -1, 9}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<int>& s = c.store;
    StoreSettings(s[0], s[1], s[2], s[3], s[4], s[5], s[6]);
    Open();
    const std::vector<int> shown = Shown();
    for (size_t i = 0; i < shown.size(); ++i) {
      if (c.shown[i] >= 0) {
        EXPECT_EQ(shown[i], c.shown[i]) << "slider " << i + 1;
      } else {
        EXPECT_LT(shown[i], 10) << "slider " << i + 1;
      }
    }
    EXPECT_EQ(CheckBoxChecked(), s[6] == 1);
    FocusControl(1);
    PressKey(VK_SPACE);  // Save
    EXPECT_TRUE(PumpUntil([&] { return StoredAll() == shown; }, kStateBound_ms));
    EXPECT_EQ(StoredAll(), shown);
    EXPECT_EQ(StoredSetting("Rands"), s[6]);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(saver_->WaitForExit(kStateBound_ms));
  }
}

// An administrator's policy: each control it sets is disabled where the policy puts it,
// the computer's value beating the user's policy and a value out of range ignored; "Save"
// stores the user's own values of the others and leaves the stored values of the rest.
TEST_F(SettingsWindow, PolicySetControlsStandDisabledAndSaveKeepsTheUsersStoredValues) {
  StoreSettings(3, 12, 4, 2, 6, 8, 1);
  WritePolicies({{HKEY_LOCAL_MACHINE, "Color", REG_DWORD, 9},
                 {HKEY_CURRENT_USER, "Color", REG_DWORD, 1},
                 {HKEY_CURRENT_USER, "Brightness", REG_DWORD, 10},
                 {HKEY_LOCAL_MACHINE, "Sizes", REG_DWORD, 99},
                 {HKEY_LOCAL_MACHINE, "Arrows", REG_SZ, 0, "2"},
                 {HKEY_LOCAL_MACHINE, "Rands", REG_DWORD, 0},
                 {HKEY_LOCAL_MACHINE, "ClockSync", REG_DWORD, 0}});
  Open();
  // Random mode is off by policy, so the stored values show as they are.
  EXPECT_EQ(Shown(), (std::vector<int>{6, 8, 12, 9, 2, 10}));
  EXPECT_FALSE(CheckBoxChecked());
  const struct {
    const char* what;
    HWND control;
    bool enabled;
  } controls[] = {
      {"Arrows (text is ignored)", TrackBar(1), true},
      {"Arrows Color", TrackBar(2), true},
      {"Digital Size (99 is ignored)", TrackBar(3), true},
      {"Dial", TrackBar(4), false},
      {"Dial Color", TrackBar(5), true},
      {"Brightness", TrackBar(6), false},
      {"Random", controls_[kCheckBox1], false},
      {"Save", controls_[1], true},
      {"Clock synchronization", controls_[2], false},
  };
  for (const auto& c : controls) {
    EXPECT_EQ(IsWindowEnabled(c.control) != FALSE, c.enabled) << c.what;
  }
  // Where it was: the layout does not change for a policy.
  RECT dial{};
  GetWindowRect(TrackBar(4), &dial);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&dial), 2);
  EXPECT_EQ(dial.left, 136);
  EXPECT_EQ(dial.top, 359);

  FocusControl(kTrackBar[1]);
  PressKey(VK_RIGHT);
  ASSERT_TRUE(PositionReaches(1, 7));
  ClickAt(CentreOf(controls_[1]));  // Save
  const std::vector<int> expected = {7, 8, 12, 4, 2, 3};
  EXPECT_TRUE(PumpUntil([&] { return StoredAll() == expected; }, kStateBound_ms));
  EXPECT_EQ(StoredAll(), expected);
  EXPECT_EQ(StoredSetting("Rands"), 1);
  // A press on the disabled dial moves nothing.
  ClickAt(CentreOf(TrackBar(4)));
  PumpFor(200);  // a move that must not come
  EXPECT_EQ(Position(4), 9);
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(saver_->WaitForExit(kStateBound_ms));
}

int RunningSavers() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  int count = 0;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    count += _stricmp(entry.szExeFile, "tessaryn.scr") == 0;
  }
  CloseHandle(snapshot);
  return count;
}

// Twenty rounds are a measure, in tools/measure/measure-settings.sh; three show the pattern.
TEST_F(SettingsWindow, OpenedAndClosedThreeTimesLeavesNoProcess) {
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE("round " + std::to_string(i + 1));
    Open();
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(saver_->WaitForExit(kStateBound_ms));
  }
  saver_.reset();
  EXPECT_EQ(RunningSavers(), 0);
}

}  // namespace
