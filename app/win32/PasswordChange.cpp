#include "app/win32/PasswordChange.h"

#include "win32/SystemLibrary.h"
#include "win32/WinHandles.h"

namespace {
using PwdChangePasswordFn = DWORD(WINAPI*)(LPCSTR provider, HWND owner, DWORD reserved1,
                                           DWORD reserved2);
}

void ChangeSaverPassword(HWND owner) {
  const UniqueModule library = LoadSystemLibrary("MPR.DLL");
  if (!library) {
    return;
  }
  const auto change = reinterpret_cast<PwdChangePasswordFn>(
      reinterpret_cast<void*>(GetProcAddress(library.get(), "PwdChangePasswordA")));
  if (change != nullptr) {
    change("SCRSAVE", owner, 0, 0);
  }
}
