#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <span>

#include "scene/SetupFailure.h"
#include "win32/WinHandles.h"

// One delay-imported entry: its name and the import address slot the program's calls
// read it from.
struct DelayedEntry {
  const char* name;
  FARPROC* slot;
};

// A system library and the entries the program imports from it.
struct SystemLibraryImports {
  const char* name;
  std::span<const DelayedEntry> entries;
};

// Loads `imports.name` from the system folder into `kept` and, when it has every entry,
// points each entry's slot at it. Otherwise the reason, naming the library, with no
// slot touched.
SetupFailure LoadSystemImports(const SystemLibraryImports& imports, UniqueModule& kept);

// opengl32.dll, then glu32.dll, from the system folder, kept for the process's life and
// bound to every entry the program imports from them; the outcome of the first call is
// the outcome of every later one. Run before the first OpenGL call (pixel formats
// included): the calls and the system's own loads of opengl32.dll by name then reach
// these copies, never a file of the same name in the program's or the working folder.
// Nothing when both are ready; otherwise the reason.
SetupFailure LoadSystemOpenGL();
