#include "scene/win32/SystemOpenGL.h"

#include <delayimp.h>

#include <array>

#include "win32/SystemError.h"
#include "win32/SystemLibrary.h"

namespace {

constexpr const char* kOpenGl32Entries[] = {
#include "opengl32_delayed-entries.inc"
};
constexpr const char* kGlu32Entries[] = {
#include "glu32_delayed-entries.inc"
};

// glu32 imports opengl32 itself, so opengl32 comes first.
constexpr std::array<SystemLibraryImports, 2> kSystemOpenGl{{
    {"opengl32.dll", kOpenGl32Entries},
    {"glu32.dll", kGlu32Entries},
}};

// The process owns both libraries to its end and never frees them: an entry the helper
// bound must stay valid through the last window's release, whatever order exit runs in.
struct LoadedSystemOpenGl {
  bool tried = false;
  std::string failure;
  std::array<HMODULE, kSystemOpenGl.size()> modules{};
};

LoadedSystemOpenGl g_system_opengl;

std::string LoadFailure(const char* library, const std::string& reason) {
  return std::string("Loading ") + library + " from the system folder failed: " + reason;
}

HMODULE KeptModule(const char* library) {
  for (size_t i = 0; i < kSystemOpenGl.size(); ++i) {
    if (lstrcmpiA(library, kSystemOpenGl[i].name) == 0) {
      return g_system_opengl.modules[i];
    }
  }
  return nullptr;
}

bool IsSystemOpenGl(const char* library) {
  for (const SystemLibraryImports& imports : kSystemOpenGl) {
    if (lstrcmpiA(library, imports.name) == 0) {
      return true;
    }
  }
  return false;
}

// The delay-load helper would look a library up by name, through the search path; for
// ours it gets the system folder's copy instead.
FARPROC WINAPI DelayLoadNotification(unsigned note, PDelayLoadInfo info) {
  if (note != dliNotePreLoadLibrary || !IsSystemOpenGl(info->szDll)) {
    return nullptr;
  }
  if (const std::string failure = LoadSystemOpenGL(); !failure.empty()) {
    // Only an OpenGL call made before the window set-up's check can get here. Falling
    // back to the search path is what must never happen, and the helper's own failure
    // is an unhandled exception: say why and end instead.
    MessageBoxA(nullptr, failure.c_str(), "Error", MB_OK);
    ExitProcess(1);
  }
  return reinterpret_cast<FARPROC>(KeptModule(info->szDll));
}

}  // namespace

// The helper reads this hook at every delayed load, from the first one on.
extern "C" {
PfnDliHook __pfnDliNotifyHook2 = DelayLoadNotification;
}

std::string LoadSystemImports(const SystemLibraryImports& imports, UniqueModule& kept) {
  UniqueModule library = LoadSystemLibrary(imports.name);
  if (!library) {
    return LoadFailure(imports.name, SystemErrorText(GetLastError()));
  }
  for (const char* entry : imports.entries) {
    if (GetProcAddress(library.get(), entry) == nullptr) {
      return LoadFailure(imports.name, std::string(entry) + ": " + SystemErrorText(GetLastError()));
    }
  }
  kept = std::move(library);
  return "";
}

std::string LoadSystemOpenGL() {
  if (!g_system_opengl.tried) {
    g_system_opengl.tried = true;
    for (size_t i = 0; i < kSystemOpenGl.size() && g_system_opengl.failure.empty(); ++i) {
      UniqueModule library;
      g_system_opengl.failure = LoadSystemImports(kSystemOpenGl[i], library);
      g_system_opengl.modules[i] = library.release();
    }
  }
  return g_system_opengl.failure;
}
