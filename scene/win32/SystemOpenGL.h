#pragma once

#include <span>
#include <string>

#include "win32/WinHandles.h"

// A system library and the entries the program imports from it.
struct SystemLibraryImports {
  const char* name;
  std::span<const char* const> entries;
};

// Loads `imports.name` from the system folder into `kept` and checks that it has every
// entry. Empty when it does; otherwise the reason, naming the library.
std::string LoadSystemImports(const SystemLibraryImports& imports, UniqueModule& kept);

// opengl32.dll, then glu32.dll, from the system folder, kept for the process's life;
// the outcome of the first call is the outcome of every later one. Run before the first
// OpenGL call (pixel formats included): the delayed imports and the system's own loads of
// opengl32.dll by name then reach these copies, never a file of the same name in the
// program's or the working folder. Empty when both are ready; otherwise the reason.
std::string LoadSystemOpenGL();
