#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "SaverProcess.h"
#include "tests/support/Input.h"

namespace {

constexpr const char* kPlantedNames[] = {"opengl32.dll", "glu32.dll"};

std::string PlantedDir() {
  return TestProgramDir() + "\\planted";
}

// NOTE: Wine takes its own opengl32 and glu32 even for a static import that finds a
// file of that name beside the program; Windows takes the file. Wine's per-program
// override "native first" (read at the program's start) gives Windows' order, and the
// control shows that it does.
class WindowsLoadOrder {
 public:
  explicit WindowsLoadOrder(const std::string& program_name)
      : app_key_("Software\\Wine\\AppDefaults\\" + program_name) {
    HKEY raw = nullptr;
    const std::string overrides_key = app_key_ + "\\DllOverrides";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, overrides_key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &raw, nullptr) != ERROR_SUCCESS) {
      ADD_FAILURE() << "cannot write " << overrides_key;
      return;
    }
    const UniqueRegKey key(raw);
    static constexpr char kNativeFirst[] = "native,builtin";
    for (const char* name : {"opengl32", "glu32"}) {
      RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(kNativeFirst),
                     sizeof(kNativeFirst));
    }
  }
  ~WindowsLoadOrder() {
    RegDeleteKeyA(HKEY_CURRENT_USER, (app_key_ + "\\DllOverrides").c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, app_key_.c_str());
  }
  WindowsLoadOrder(const WindowsLoadOrder&) = delete;
  WindowsLoadOrder& operator=(const WindowsLoadOrder&) = delete;

 private:
  std::string app_key_;
};

// A program's folder holding a copy of it and both planted libraries, and a working
// folder inside it holding both again: the two places the search path reaches first.
class PlantedFolders {
 public:
  explicit PlantedFolders(const std::string& program_path)
      : load_order_(program_path.substr(program_path.find_last_of("\\/") + 1)) {
    Clear();
    CreateDirectoryA(program_dir_.c_str(), nullptr);
    CreateDirectoryA(working_dir_.c_str(), nullptr);
    program_ = program_dir_ + program_path.substr(program_path.find_last_of("\\/"));
    EXPECT_TRUE(CopyFileA(program_path.c_str(), program_.c_str(), FALSE)) << program_path;
    for (const char* name : kPlantedNames) {
      for (const std::string& dir : {program_dir_, working_dir_}) {
        EXPECT_TRUE(
            CopyFileA((PlantedDir() + "\\" + name).c_str(), (dir + "\\" + name).c_str(), FALSE));
      }
    }
  }
  ~PlantedFolders() { Clear(); }

  const std::string& Program() const { return program_; }
  const std::string& WorkingDir() const { return working_dir_; }

  // The planted libraries that were loaded, by the traces they left.
  std::string Traces() const {
    std::string traces;
    for (const char* name : kPlantedNames) {
      for (const std::string& dir : {program_dir_, working_dir_}) {
        const std::string trace = dir + "\\" + name + ".loaded";
        if (GetFileAttributesA(trace.c_str()) != INVALID_FILE_ATTRIBUTES) {
          traces += trace + " ";
        }
      }
    }
    return traces;
  }

 private:
  void Clear() const {
    for (const std::string& dir : {working_dir_, program_dir_}) {
      for (const char* name : kPlantedNames) {
        DeleteFileA((dir + "\\" + name).c_str());
        DeleteFileA((dir + "\\" + name + ".loaded").c_str());
      }
    }
    if (!program_.empty()) {
      DeleteFileA(program_.c_str());
    }
    RemoveDirectoryA(working_dir_.c_str());
    RemoveDirectoryA(program_dir_.c_str());
  }

  WindowsLoadOrder load_order_;
  std::string program_dir_ = TestProgramDir() + "\\planted-run";
  std::string working_dir_ = program_dir_ + "\\work";
  std::string program_;
};

bool ShowsErrorBox(const SaverProcess& saver) {
  return TopLevelWindowOf(saver.Id(), [](HWND hwnd) { return WindowText(hwnd) == "Error"; }) !=
         nullptr;
}

// Frames are coming when the screen keeps changing (the second hand, the caption).
bool ScreenKeepsChanging() {
  const Screenshot before;
  return PumpUntil([&] { return Screenshot().CountDifferences(before) > 50; }, kStateBound_ms);
}

// A top-level window of the test's own, standing in for the display dialog.
class ParentWindow {
 public:
  ParentWindow()
      : window_(CreateWindowExA(0, "STATIC", "Planted preview parent",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 200, 160, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr)) {}
  HWND get() const { return window_.get(); }
  void Destroy() { window_.reset(); }

 private:
  UniqueWindow window_;
};

// How one mode is started, shown to work, and ended as its user ends it.
struct PlantedRun {
  const char* name;
  std::string (*program)();
  const char* arguments;  // the parent window's handle follows when `with_parent`
  bool with_parent;
  void (*drive)(SaverProcess& saver, ParentWindow& parent);
};

void DriveFullScreen(SaverProcess& saver, ParentWindow&) {
  ASSERT_NE(saver.WaitForWindow("Full"), nullptr);
  EXPECT_TRUE(ScreenKeepsChanging());
  EXPECT_FALSE(ShowsErrorBox(saver));
  PressKey(VK_SPACE);
  EXPECT_TRUE(saver.WaitForExit(kStateBound_ms));
}

void DriveSettings(SaverProcess& saver, ParentWindow&) {
  const HWND window = saver.WaitForWindow("Tessaryn Settings");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(ScreenKeepsChanging());
  EXPECT_FALSE(ShowsErrorBox(saver));
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(saver.WaitForExit(kStateBound_ms));
}

// NOTE: Wine draws the child of another process's window off the screen, so the preview
// shows that it works by living: its first paint makes the context, and a failed one
// ends the mode or shows the box.
void DrivePreview(SaverProcess& saver, ParentWindow& parent) {
  HWND preview = nullptr;
  ASSERT_TRUE(PumpUntil(
      [&] {
        preview = FindWindowExA(parent.get(), nullptr, nullptr, "MySaver");
        return preview != nullptr && IsWindowVisible(preview);
      },
      kAppearBound_ms));
  PumpFor(1500);  // an end or an error box that must not come
  EXPECT_TRUE(saver.Running());
  EXPECT_FALSE(ShowsErrorBox(saver));
  parent.Destroy();
  EXPECT_TRUE(saver.WaitForExit(kStateBound_ms));
}

// The elevated clock step, started without a request, refuses it and ends: no clock is
// ever set here.
void DriveClockStep(SaverProcess& step, ParentWindow&) {
  ASSERT_TRUE(step.WaitForExit(kAppearBound_ms));
  EXPECT_EQ(step.ExitCode(), static_cast<DWORD>(ERROR_BAD_ARGUMENTS));
}

void PrintTo(const PlantedRun& run, std::ostream* out) {
  *out << run.name;
}

const PlantedRun kRuns[] = {
    {"FullScreen", SaverPath, "/s", false, DriveFullScreen},
    {"Settings", SaverPath, "/c", false, DriveSettings},
    {"Preview", SaverPath, "/p", true, DrivePreview},
    {"ClockStep", ClockStepPath, "", false, DriveClockStep},
};

class PlantedLibraries : public testing::TestWithParam<PlantedRun> {
 protected:
  void SetUp() override { DeleteStoredSettings(); }
  void TearDown() override { DeleteStoredSettings(); }
};

TEST_P(PlantedLibraries, AreNeverLoadedAndTheModeStillWorks) {
  const PlantedRun& run = GetParam();
  const PlantedFolders folders(run.program());
  ParentWindow parent;
  std::string arguments = run.arguments;
  if (run.with_parent) {
    // Appended in two steps: g++ 12 warns falsely (-Wrestrict) on " " + text.
    arguments.push_back(' ');
    arguments += std::to_string(reinterpret_cast<UINT_PTR>(parent.get()));
  }
  {
    SaverProcess saver(arguments, folders.WorkingDir(), folders.Program());
    ASSERT_TRUE(saver.Started());
    run.drive(saver, parent);
  }
  EXPECT_EQ(folders.Traces(), "");
}

INSTANTIATE_TEST_SUITE_P(Modes, PlantedLibraries, testing::ValuesIn(kRuns),
                         [](const testing::TestParamInfo<PlantedRun>& info) {
                           return std::string(info.param.name);
                         });

// The control: a program that imports opengl32 statically takes the planted one, and the
// trace shows it. Without it, "no trace" could mean a test bed that sees nothing.
TEST(PlantedLibrariesControl, AStaticImportTakesThePlantedLibrary) {
  const PlantedFolders folders(TestProgramDir() + "\\static_opengl_probe.exe");
  SaverProcess probe("", folders.WorkingDir(), folders.Program());
  ASSERT_TRUE(probe.Started());
  EXPECT_TRUE(probe.WaitForExit(kAppearBound_ms)) << "the probe did not end";
  EXPECT_NE(folders.Traces().find("opengl32.dll.loaded"), std::string::npos);
}

}  // namespace
