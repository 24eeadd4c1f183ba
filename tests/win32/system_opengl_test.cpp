#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/win32/SystemOpenGL.h"
#include "win32/SystemError.h"

namespace {

std::string FolderOf(HMODULE module) {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  const std::string file(path, length);
  return file.substr(0, file.find_last_of('\\'));
}

std::string SystemFolder() {
  char folder[MAX_PATH] = {};
  return std::string(folder, GetSystemDirectoryA(folder, MAX_PATH));
}

bool SameFolder(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

struct ImportsCase {
  const char* library;
  std::vector<const char*> entries;
  SetupFailure failure;  // none: the library is kept and every slot bound
};

const std::vector<ImportsCase> kImportsCases = {
    {"opengl32.dll", {"glBegin", "wglMakeCurrent", "wglUseFontBitmapsA"}, std::nullopt},
    {"glu32.dll", {"gluLookAt", "gluPerspective"}, std::nullopt},
    {"opengl32.dll",
     {"glBegin", "glTessarynNoSuchEntry"},
     "Loading opengl32.dll from the system folder failed: glTessarynNoSuchEntry: " +
         SystemErrorText(ERROR_PROC_NOT_FOUND)},
    {"tessaryn-no-such-library.dll",
     {"glBegin"},
     "Loading tessaryn-no-such-library.dll from the system folder failed: " +
         SystemErrorText(ERROR_MOD_NOT_FOUND)},
};

TEST(SystemOpenGlImports, BindsACompleteSystemLibraryAndNamesWhatIsMissing) {
  for (const ImportsCase& c : kImportsCases) {
    SCOPED_TRACE(c.library);
    std::vector<FARPROC> slots(c.entries.size(), nullptr);
    std::vector<DelayedEntry> entries;
    for (size_t i = 0; i < c.entries.size(); ++i) {
      entries.push_back({c.entries[i], &slots[i]});
    }
    UniqueModule kept;
    EXPECT_EQ(LoadSystemImports({c.library, entries}, kept), c.failure);
    EXPECT_EQ(static_cast<bool>(kept), !c.failure);
    if (kept) {
      EXPECT_TRUE(SameFolder(FolderOf(kept.get()), SystemFolder())) << FolderOf(kept.get());
    }
    for (size_t i = 0; i < slots.size(); ++i) {
      // A failed load binds nothing, not even the entries that were found.
      EXPECT_EQ(slots[i], kept ? GetProcAddress(kept.get(), c.entries[i]) : nullptr)
          << c.entries[i];
    }
  }
}

TEST(SystemOpenGlImports, TheProcessUsesTheSystemFoldersCopies) {
  ASSERT_EQ(LoadSystemOpenGL(), std::nullopt);
  for (const char* library : {"opengl32.dll", "glu32.dll"}) {
    const HMODULE loaded = GetModuleHandleA(library);
    ASSERT_NE(loaded, nullptr) << library;
    EXPECT_TRUE(SameFolder(FolderOf(loaded), SystemFolder())) << FolderOf(loaded);
  }
}

}  // namespace
