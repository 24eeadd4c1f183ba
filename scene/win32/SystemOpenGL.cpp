#include "scene/win32/SystemOpenGL.h"

#include <delayimp.h>

#include <array>
#include <vector>

#include "win32/SystemError.h"
#include "win32/SystemLibrary.h"

// The import address slots of the delayed entries, by their linker names.
#define DELAYED_ENTRY(name, slot) extern "C" FARPROC name##_slot __asm__(slot);
#include "glu32_delayed-entries.inc"
#include "opengl32_delayed-entries.inc"
#undef DELAYED_ENTRY

namespace {

#define DELAYED_ENTRY(name, slot) {#name, &name##_slot},
const DelayedEntry kOpenGl32Entries[] = {
#include "opengl32_delayed-entries.inc"
};
const DelayedEntry kGlu32Entries[] = {
#include "glu32_delayed-entries.inc"
};
#undef DELAYED_ENTRY

// glu32 imports opengl32 itself, so opengl32 comes first.
const std::array<SystemLibraryImports, 2> kSystemOpenGl{{
    {"opengl32.dll", kOpenGl32Entries},
    {"glu32.dll", kGlu32Entries},
}};

// The process owns both libraries to its end and never frees them: a bound entry must
// stay valid through the last window's release, whatever order exit runs in.
struct LoadedSystemOpenGl {
  bool tried = false;
  SetupFailure failure;
  std::array<HMODULE, 2> modules{};
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

// Every entry is bound at load, so the delay-load helper runs only for a call made
// through an address taken before (the context calls' table). It would look the library
// up by name, through the search path; it gets the system folder's copy instead.
FARPROC WINAPI DelayLoadNotification(unsigned note, PDelayLoadInfo info) {
  if (note != dliNotePreLoadLibrary || !IsSystemOpenGl(info->szDll)) {
    return nullptr;
  }
  if (const SetupFailure failure = LoadSystemOpenGL()) {
    // Only an OpenGL call made before the window set-up's check can get here. Falling
    // back to the search path is what must never happen, and the helper's own failure
    // is an unhandled exception: say why and end instead.
    MessageBoxA(nullptr, failure->c_str(), "Error", MB_OK);
    ExitProcess(1);
  }
  return reinterpret_cast<FARPROC>(KeptModule(info->szDll));
}

}  // namespace

// The helper reads this hook at every delayed load, from the first one on.
extern "C" {
PfnDliHook __pfnDliNotifyHook2 = DelayLoadNotification;
}

SetupFailure LoadSystemImports(const SystemLibraryImports& imports, UniqueModule& kept) {
  UniqueModule library = LoadSystemLibrary(imports.name);
  if (!library) {
    return LoadFailure(imports.name, SystemErrorText(GetLastError()));
  }
  std::vector<FARPROC> addresses;
  for (const DelayedEntry& entry : imports.entries) {
    addresses.push_back(GetProcAddress(library.get(), entry.name));
    if (addresses.back() == nullptr) {
      return LoadFailure(imports.name,
                         std::string(entry.name) + ": " + SystemErrorText(GetLastError()));
    }
  }
  // NOTE: binutils' 64-bit delay-load stub keeps the integer arguments across the
  // helper but not the floating-point ones (gluPerspective's first call got garbage), so
  // the slots are filled here and the stub never runs for them.
  for (size_t i = 0; i < addresses.size(); ++i) {
    *imports.entries[i].slot = addresses[i];
  }
  kept = std::move(library);
  return std::nullopt;
}

SetupFailure LoadSystemOpenGL() {
  if (!g_system_opengl.tried) {
    g_system_opengl.tried = true;
    for (size_t i = 0; i < kSystemOpenGl.size() && !g_system_opengl.failure; ++i) {
      UniqueModule library;
      g_system_opengl.failure = LoadSystemImports(kSystemOpenGl[i], library);
      g_system_opengl.modules[i] = library.release();
    }
  }
  return g_system_opengl.failure;
}
