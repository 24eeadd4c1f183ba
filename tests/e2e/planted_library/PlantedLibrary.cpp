// A library planted under a system library's name (opengl32.dll, glu32.dll) where the
// saver must not look. Loaded, it leaves "<its own path>.loaded" beside itself. Its one
// entry only lets a program that imports it statically start (the control).
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

void LeaveTrace(HINSTANCE self) {
  char path[MAX_PATH + 8] = {};
  const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return;
  }
  lstrcatA(path, ".loaded");
  const HANDLE file =
      CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
  }
}

}  // namespace

extern "C" __declspec(dllexport) unsigned WINAPI glGetError() {
  return 0;
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    LeaveTrace(self);
  }
  return TRUE;
}
