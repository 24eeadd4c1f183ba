#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <memory>
#include <string>

#include "settingswindow/ClockSyncCalls.h"

// The small program shipped beside the saver that sets the clock when it runs elevated.
inline constexpr wchar_t kClockStepProgram[] = L"tessaryn-clock.exe";

// The clock step's full path, in the folder of the running program; empty when the
// running program's own path cannot be read.
std::wstring ClockStepPath();

// ShellExecuteEx with the verb "runas": the system's consent prompt, then the program
// elevated, waited for. Its exit code, or the reason it did not run.
DWORD RunElevated(HWND owner, const std::wstring& program, const std::wstring& parameters);

// Runs the clock step through `run` on a worker thread of its own, so that the
// window keeps serving its messages while the consent prompt is up, and posts the result
// to a window as `message` with the result in wParam. The worker is never waited for: an
// owner that goes away (the settings window closed during the prompt) only stops the
// post, and the process may end with the worker still inside the prompt.
class ElevatedClockStep {
 public:
  ElevatedClockStep(HWND notify, UINT message, ElevatedRunCall run);
  ElevatedClockStep(const ElevatedClockStep&) = delete;
  ElevatedClockStep& operator=(const ElevatedClockStep&) = delete;
  ~ElevatedClockStep();

  // False when no worker could be started; nothing is posted then.
  bool Start(HWND owner, std::wstring program, std::wstring parameters);

 private:
  struct Mailbox;
  std::shared_ptr<Mailbox> mailbox_;
  ElevatedRunCall run_;
};
