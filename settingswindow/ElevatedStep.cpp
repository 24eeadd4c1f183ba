#include "settingswindow/ElevatedStep.h"

#include <objbase.h>
#include <shellapi.h>

#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "settingswindow/ClockSyncCalls.h"
#include "win32/ScopeExit.h"
#include "win32/WinHandles.h"

// Where the worker posts its result; shared with the worker, and emptied by an owner
// that goes away first.
struct ElevatedClockStep::Mailbox {
  std::mutex lock;
  HWND target = nullptr;
  UINT message = 0;

  void Post(DWORD result) {
    const std::lock_guard<std::mutex> hold(lock);
    if (target != nullptr) {
      PostMessageW(target, message, static_cast<WPARAM>(result), 0);
    }
  }
};

namespace {

DWORD LastErrorOr(DWORD fallback) {
  const DWORD error = GetLastError();
  return error != 0 ? error : fallback;
}

}  // namespace

std::wstring ClockStepPath() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      return {};
    }
    if (length < path.size()) {
      const std::wstring own(path.data(), length);
      const size_t slash = own.find_last_of(L"\\/");
      return slash == std::wstring::npos ? std::wstring()
                                         : own.substr(0, slash + 1) + kClockStepProgram;
    }
    path.resize(path.size() * 2);
  }
}

DWORD RunElevated(HWND owner, const std::wstring& program, const std::wstring& parameters) {
  SHELLEXECUTEINFOW run{};
  run.cbSize = sizeof(run);
  // The process handle for its exit code; the launch finished before the call returns;
  // a failure is reported to us, not shown in a box of the shell's.
  run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  run.hwnd = owner;
  run.lpVerb = L"runas";
  run.lpFile = program.c_str();
  run.lpParameters = parameters.c_str();
  run.nShow = SW_HIDE;
  if (!ShellExecuteExW(&run)) {
    return LastErrorOr(ERROR_GEN_FAILURE);
  }
  const UniqueKernelHandle process(run.hProcess);
  if (!process) {
    return ERROR_GEN_FAILURE;
  }
  if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0) {
    return LastErrorOr(ERROR_GEN_FAILURE);
  }
  DWORD code = ERROR_GEN_FAILURE;
  if (!GetExitCodeProcess(process.get(), &code)) {
    return LastErrorOr(ERROR_GEN_FAILURE);
  }
  return code;
}

ElevatedClockStep::ElevatedClockStep(HWND notify, UINT message, ElevatedRunCall run)
    : mailbox_(std::make_shared<Mailbox>()), run_(std::move(run)) {
  mailbox_->target = notify;
  mailbox_->message = message;
}

ElevatedClockStep::~ElevatedClockStep() {
  const std::lock_guard<std::mutex> hold(mailbox_->lock);
  mailbox_->target = nullptr;
}

bool ElevatedClockStep::Start(HWND owner, std::wstring program, std::wstring parameters) {
  try {
    std::thread([mailbox = mailbox_, run = run_, owner, program = std::move(program),
                 parameters = std::move(parameters)] {
      // The shell's prompt and the elevation it asks for run over COM on this thread.
      const bool com_ready =
          SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
      const ScopeExit leave_com([com_ready] {
        if (com_ready) {
          CoUninitialize();
        }
      });
      mailbox->Post(run(owner, program, parameters));
    }).detach();
  } catch (const std::exception&) {
    return false;
  }
  return true;
}
