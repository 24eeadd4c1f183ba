#include "win32/SystemLibrary.h"

#include <string>

namespace {

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD flags);

// For entries newer than Windows 7 SP1, the oldest system the saver runs on: they are
// looked up rather than imported.
template <typename Fn>
Fn Kernel32Entry(const char* name) {
  const HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  return kernel32 == nullptr
             ? nullptr
             : reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel32, name)));
}

}  // namespace

UniqueModule LoadSystemLibrary(const char* name) {
  char folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return UniqueModule{};
  }
  const std::string path = std::string(folder, length) + "\\" + name;
  // The library's own dependencies are looked for beside it first, in the system folder.
  const HMODULE h = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  // The platform's old convention counts a handle of 32 or less as a failure.
  if (reinterpret_cast<UINT_PTR>(h) <= 32) {
    return UniqueModule{};
  }
  return UniqueModule{h};
}

void RestrictLibrarySearch() {
  // An empty folder removes the working folder from the search order.
  SetDllDirectoryA("");
  // Windows 7 SP1 has this one only with update KB2533623.
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  if (const auto set_default =
          Kernel32Entry<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories")) {
    set_default(kSearchSystem32);
  }
}
