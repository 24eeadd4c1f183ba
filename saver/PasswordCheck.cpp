#include "saver/PasswordCheck.h"

#include <cstdint>

#include "win32/ScopeExit.h"
#include "win32/SystemLibrary.h"
#include "win32/WinHandles.h"

namespace {

using VerifyScreenSavePwdFn = BOOL(WINAPI*)(HWND owner);

// The system's password switch; a key or value that cannot be read means no password.
bool PasswordRequired(HKEY desktop) {
  uint8_t bytes[4] = {0, 0, 0, 0};
  DWORD size = sizeof(bytes);
  if (RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, nullptr, bytes, &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  const uint32_t value =
      bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
  return value != 0;
}

// A missing library or entry lets the saver close, silently: that is a system
// without screensaver passwords.
bool VerifyWithSystemDialog(HWND saver_window) {
  const UniqueModule library = LoadSystemLibrary("PASSWORD.CPL");
  if (!library) {
    return true;
  }
  const auto verify = reinterpret_cast<VerifyScreenSavePwdFn>(
      reinterpret_cast<void*>(GetProcAddress(library.get(), "VerifyScreenSavePwd")));
  // The cursor shows for the system's dialog only.
  ShowCursor(TRUE);
  const ScopeExit hide_cursor([] { ShowCursor(FALSE); });
  return verify == nullptr || verify(saver_window) != 0;
}

}  // namespace

bool CheckPasswordOnExit(HWND saver_window) {
  HKEY raw = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &raw) !=
      ERROR_SUCCESS) {
    return true;
  }
  const UniqueRegKey desktop(raw);
  if (!PasswordRequired(desktop.get())) {
    return true;
  }
  return VerifyWithSystemDialog(saver_window);
}
