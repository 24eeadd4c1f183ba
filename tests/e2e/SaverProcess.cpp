#include "SaverProcess.h"

#include <cmath>
#include <numbers>
#include <cstdio>
#include <utility>

#include <gtest/gtest.h>

#include "settings/win32/RegistryStore.h"
#include "tests/support/Input.h"
#include "win32/WinHandles.h"

namespace {

// A memory device context is deleted, not released to a window.
struct MemoryDcTraits {
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DeleteDC(h); }
};
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;

struct WindowSearch {
  DWORD process_id;
  const std::function<bool(HWND)>* matches;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lparam) {
  auto* search = reinterpret_cast<WindowSearch*>(lparam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == search->process_id && (*search->matches)(hwnd)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Built by appending: g++ 12 warns falsely (-Wrestrict) on "\"" + text.
std::string Quoted(const std::string& text) {
  std::string quoted(1, '"');
  quoted.append(text);
  quoted.push_back('"');
  return quoted;
}

}  // namespace

std::string TestProgramDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path);
  return dir.substr(0, dir.find_last_of("\\/"));
}

// The test program lives in tests/e2e/ of the build tree, the saver at its root.
std::string SaverPath() {
  return TestProgramDir() + "\\..\\..\\tessaryn.scr";
}

std::string ClockStepPath() {
  return TestProgramDir() + "\\..\\..\\tessaryn-clock.exe";
}

std::string PasswordLibraryDir() {
  return TestProgramDir() + "\\cpl";
}

namespace {

UniqueKernelHandle KillOnCloseJob() {
  UniqueKernelHandle job(CreateJobObjectA(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!job.valid() || !SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation,
                                               &limits, sizeof(limits))) {
    ADD_FAILURE() << "cannot make a job: " << GetLastError();
    return UniqueKernelHandle();
  }
  return job;
}

JOBOBJECT_BASIC_ACCOUNTING_INFORMATION Accounting(HANDLE job) {
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
  QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof(info), nullptr);
  return info;
}

// How long the end of a job's processes may take before the test says so: a process
// that is told to end goes within a second, even on a loaded machine.
constexpr DWORD kJobEnd_ms = 10000;

}  // namespace

SaverProcess::SaverProcess(const std::string& arguments, const std::string& working_dir,
                           const std::string& program)
    : job_(KillOnCloseJob()) {
  std::string command = Quoted(program);
  if (!arguments.empty()) {
    command += " " + arguments;
  }
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  // Suspended until it is in the job, so that nothing it starts can escape it.
  if (!job_.valid() ||
      !CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                      working_dir.empty() ? nullptr : working_dir.c_str(), &si, &pi)) {
    return;
  }
  const UniqueKernelHandle thread(pi.hThread);
  UniqueKernelHandle process(pi.hProcess);
  if (!AssignProcessToJobObject(job_.get(), process.get())) {
    ADD_FAILURE() << "cannot put " << program << " into a job: " << GetLastError();
    TerminateProcess(process.get(), 1);
    return;
  }
  ResumeThread(thread.get());
  process_ = std::move(process);
  id_ = pi.dwProcessId;
}

SaverProcess::~SaverProcess() {
  if (!job_.valid()) {
    return;
  }
  TerminateJobObject(job_.get(), 1);
  const DWORD start = GetTickCount();
  while (Accounting(job_.get()).ActiveProcesses > 0) {
    if (GetTickCount() - start > kJobEnd_ms) {
      ADD_FAILURE() << "processes of the job did not end";
      break;
    }
    Sleep(10);
  }
}

bool SaverProcess::WaitForExit(DWORD timeout_ms) const {
  return process_.valid() && WaitForSingleObject(process_.get(), timeout_ms) == WAIT_OBJECT_0;
}

DWORD SaverProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_.get(), &code);
  return code;
}

DWORD SaverProcess::ProcessesStarted() const {
  return Accounting(job_.get()).TotalProcesses;
}

HWND TopLevelWindowOf(DWORD process_id, const std::function<bool(HWND)>& matches) {
  WindowSearch search{process_id, &matches, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND SaverProcess::WaitForWindow(const char* caption, DWORD timeout_ms) const {
  const auto visible_with_caption = [caption](HWND hwnd) {
    return IsWindowVisible(hwnd) && WindowText(hwnd) == caption;
  };
  HWND found = TopLevelWindowOf(id_, visible_with_caption);
  PumpUntil(
      [&] {
        found = found != nullptr ? found : TopLevelWindowOf(id_, visible_with_caption);
        return found != nullptr;
      },
      timeout_ms);
  return found;
}

Screenshot::Screenshot()
    : Screenshot(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}) {}

Screenshot::Screenshot(const RECT& area) {
  const UniqueWindowDc screen(WindowDc{nullptr, GetDC(nullptr)});
  width_ = area.right - area.left;
  height_ = area.bottom - area.top;
  const UniqueMemoryDc memory(CreateCompatibleDC(screen.get().dc));
  const UniqueGdiObject bitmap(CreateCompatibleBitmap(screen.get().dc, width_, height_));
  const HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
  BitBlt(memory.get(), 0, 0, width_, height_, screen.get().dc, area.left, area.top, SRCCOPY);
  SelectObject(memory.get(), previous);

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  pixels_.resize(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4);
  GetDIBits(memory.get(), static_cast<HBITMAP>(bitmap.get()), 0, static_cast<UINT>(height_),
            pixels_.data(), &info, DIB_RGB_COLORS);
}

int Screenshot::CountDifferences(const Screenshot& other) const {
  if (other.pixels_.size() != pixels_.size()) {
    return width_ * height_;
  }
  int count = 0;
  for (size_t i = 0; i < pixels_.size(); i += 4) {
    if (pixels_[i] != other.pixels_[i] || pixels_[i + 1] != other.pixels_[i + 1] ||
        pixels_[i + 2] != other.pixels_[i + 2]) {
      ++count;
    }
  }
  return count;
}

void Screenshot::Save(const std::string& path) const {
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = width_;
  header.biHeight = -height_;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(header);
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels_.size());
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(&file, sizeof(file), 1, f);
    std::fwrite(&header, sizeof(header), 1, f);
    std::fwrite(pixels_.data(), 1, pixels_.size(), f);
    std::fclose(f);
  }
}

POINT SceneToScreen(double x, double y, int width, int height) {
  // Eye at z = 5 with a 45 degree field of view: the plane z = 0 shows 5 tan 22.5 units
  // from the centre to each edge, on both axes (aspect 1, stretched to the screen).
  const double half_extent = 5.0 * std::tan(22.5 * std::numbers::pi / 180.0);
  POINT p;
  p.x = static_cast<LONG>(std::lround(width / 2.0 + x / half_extent * (width / 2.0)));
  p.y = static_cast<LONG>(std::lround(height / 2.0 - y / half_extent * (height / 2.0)));
  return p;
}

void StoreSettings(int32_t brightness, int32_t sizes, int32_t color, int32_t alpha, int32_t arrows,
                   int32_t ar_color, int32_t rands) {
  WriteStoredSettings({brightness, sizes, color, alpha, arrows, ar_color, rands});
}

void DeleteStoredSettings() {
  RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath);
}

bool ScreenSaverRunningFlag() {
  const SaverProcess flag("", "", TestProgramDir() + "\\screensaver_flag.exe");
  if (!flag.Started()) {
    ADD_FAILURE() << "cannot start screensaver_flag.exe";
    return false;
  }
  if (!flag.WaitForExit(kAppearBound_ms)) {
    ADD_FAILURE() << "screensaver_flag.exe did not end";
    return false;
  }
  const DWORD code = flag.ExitCode();
  EXPECT_NE(code, 2u) << "SystemParametersInfo failed";
  return code == 1;
}

namespace {
// A screenshot costs a frame's time or more on a loaded machine: not every poll.
constexpr DWORD kScreenCheck_ms = 100;
}  // namespace

bool WaitForScreenChange(const Screenshot& before, int min_differences, DWORD timeout_ms) {
  return PumpUntil([&] { return before.CountDifferences(Screenshot()) > min_differences; },
                   timeout_ms, kScreenCheck_ms);
}

bool WaitForLitScreen(int min_lit, DWORD timeout_ms) {
  const auto lit = [] {
    const Screenshot shot;
    int count = 0;
    for (int y = 0; y < shot.Height(); y += 2) {
      for (int x = 0; x < shot.Width(); x += 2) {
        count += shot.Brightness(x, y) > 0;
      }
    }
    return count * 4;
  };
  return PumpUntil([&] { return lit() > min_lit; }, timeout_ms, kScreenCheck_ms);
}

bool WaitForSaverFrames(DWORD timeout_ms) {
  const Screenshot shown;
  return WaitForScreenChange(shown, 50, timeout_ms) && WaitForLitScreen(500, timeout_ms);
}

HWND StartFullScreenSaver(std::unique_ptr<SaverProcess>& saver, const std::string& working_dir) {
  saver = std::make_unique<SaverProcess>("/s", working_dir);
  const HWND window = saver->WaitForWindow("Full");
  if (window == nullptr) {
    ADD_FAILURE() << "no saver window";
    return nullptr;
  }
  if (!PumpUntil([window] { return GetForegroundWindow() == window; }, kStateBound_ms)) {
    ADD_FAILURE() << "the saver window is not in the foreground";
    return nullptr;
  }
  if (!WaitForSaverFrames()) {
    ADD_FAILURE() << "the saver draws no frames";
    return nullptr;
  }
  return window;
}
