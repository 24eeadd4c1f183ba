#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/Pump.h"
#include "tests/support/StoredValue.h"
#include "win32/WinHandles.h"

// The paths of tessaryn.scr and of the clock step beside it in the build tree.
std::string SaverPath();
std::string ClockStepPath();

// The real tessaryn.scr (or a copy at `program`, or another test program), started with
// the screensaver's own arguments in a job of its own: every process it starts joins the
// job, the elevated clock step and the saver a dialog starts too. Destruction ends them
// all and waits for them, so that none outlives its test; nor does any outlive a test
// program that dies, since the job ends its processes when its last handle closes.
class SaverProcess {
 public:
  explicit SaverProcess(const std::string& arguments, const std::string& working_dir = "",
                        const std::string& program = SaverPath());
  SaverProcess(const SaverProcess&) = delete;
  SaverProcess& operator=(const SaverProcess&) = delete;
  ~SaverProcess();

  bool Started() const { return process_.valid(); }
  DWORD Id() const { return id_; }
  HANDLE Process() const { return process_.get(); }
  // True when the process ended within the time.
  bool WaitForExit(DWORD timeout_ms) const;
  bool Running() const { return !WaitForExit(0); }
  // The exit code, or STILL_ACTIVE.
  DWORD ExitCode() const;
  // Every process that has been in the job, those that ended included: this one and all
  // it started.
  DWORD ProcessesStarted() const;

  // The process's visible top-level window with this caption, waited for.
  HWND WaitForWindow(const char* caption, DWORD timeout_ms = kAppearBound_ms) const;

 private:
  UniqueKernelHandle job_;
  UniqueKernelHandle process_;
  DWORD id_ = 0;
};

// The first top-level window of the process that `matches` accepts, or null.
HWND TopLevelWindowOf(DWORD process_id, const std::function<bool(HWND)>& matches);

std::string TestProgramDir();
// The folder holding the tests' own PASSWORD.CPL.
std::string PasswordLibraryDir();

// A copy of the primary screen, or of an area of the virtual screen, 32 bits per pixel.
class Screenshot {
 public:
  Screenshot();
  explicit Screenshot(const RECT& area);
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Red, green, blue of one pixel.
  uint8_t Red(int x, int y) const { return Channel(x, y, 2); }
  uint8_t Green(int x, int y) const { return Channel(x, y, 1); }
  uint8_t Blue(int x, int y) const { return Channel(x, y, 0); }
  int Brightness(int x, int y) const { return Red(x, y) + Green(x, y) + Blue(x, y); }
  // Pixels that differ from the other screenshot.
  int CountDifferences(const Screenshot& other) const;
  // Writes a BMP for a look by eye when a test fails.
  void Save(const std::string& path) const;

 private:
  uint8_t Channel(int x, int y, int c) const {
    return pixels_[(static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) *
                       4 +
                   static_cast<size_t>(c)];
  }
  int width_ = 0;
  int height_ = 0;
  std::vector<uint8_t> pixels_;
};

// Waits until the primary screen differs from `before` in more than `min_differences`
// pixels: a frame drawn after it. False when none comes within the time.
bool WaitForScreenChange(const Screenshot& before, int min_differences = 50,
                         DWORD timeout_ms = kStateBound_ms);
// Waits until more than `min_lit` pixels of the primary screen are not black.
bool WaitForLitScreen(int min_lit = 500, DWORD timeout_ms = kStateBound_ms);
// Waits until a saver just shown draws: the screen changes (its second hand moves at
// least), then is lit. A lit screen alone may still be the last saver's picture.
bool WaitForSaverFrames(DWORD timeout_ms = kStateBound_ms);
// Starts the full-screen saver into `saver` and waits until its window is the active one
// and drawing. Null, and a failure that says what was missing, when it did not get there.
HWND StartFullScreenSaver(std::unique_ptr<SaverProcess>& saver,
                          const std::string& working_dir = "");

// Scene coordinates (the clock's plane, origin at the centre, +y up) to screen pixels,
// for a full-screen frame drawn with aspect 1 and stretched to the screen.
POINT SceneToScreen(double x, double y, int width, int height);

// The stored settings, written as the settings window would save them.
void StoreSettings(int32_t brightness, int32_t sizes, int32_t color, int32_t alpha, int32_t arrows,
                   int32_t ar_color, int32_t rands);
void DeleteStoredSettings();

// The system's screensaver-running flag.
bool ScreenSaverRunningFlag();
