#pragma once

#include "win32/WinHandles.h"

// A library the system ships, loaded from the system folder only: never through the
// search path, which reaches the program's folder and the working folder where a
// file of the same name may have been planted. An empty owner when it is missing.
UniqueModule LoadSystemLibrary(const char* name);

// Takes the working folder out of the process's library search and, where the system
// offers it, restricts the search to the system folder. Run first thing at start.
void RestrictLibrarySearch();
