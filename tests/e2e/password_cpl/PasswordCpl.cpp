// A stand-in for the system's password library: answers from the environment and
// records how it was called, so the tests can drive the saver's password check.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND owner) {
  CURSORINFO cursor{};
  cursor.cbSize = sizeof(cursor);
  GetCursorInfo(&cursor);
  if (const char* log = std::getenv("TESSARYN_TEST_VERIFY_LOG")) {
    if (FILE* f = std::fopen(log, "a")) {
      char caption[64] = {};
      GetWindowTextA(owner, caption, sizeof(caption));
      std::fprintf(f, "owner=%s cursor=%s\n", caption,
                   (cursor.flags & CURSOR_SHOWING) ? "shown" : "hidden");
      std::fclose(f);
    }
  }
  const char* result = std::getenv("TESSARYN_TEST_VERIFY_RESULT");
  return (result != nullptr && std::atoi(result) != 0) ? TRUE : FALSE;
}
