#include "win32/SystemError.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

std::string SystemErrorText(unsigned long code) {
  char text[512] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, text, sizeof(text), nullptr);
  std::string result(text, length);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                             result.back() == ' ' || result.back() == '.')) {
    result.pop_back();
  }
  if (result.empty()) {
    result = "error " + std::to_string(code);
  }
  return result;
}

std::string FailedCallText(const char* call) {
  const DWORD code = GetLastError();
  return std::string(call) + " failed: " + SystemErrorText(code);
}
