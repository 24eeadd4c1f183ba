#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string_view>

#include "app/CommandLine.h"
#include "app/win32/PasswordChange.h"
#include "saver/Full.h"
#include "saver/Preview.h"
#include "settingswindow/Settings.h"
#include "ui/Application.h"
#include "win32/SystemLibrary.h"

namespace {

std::string_view Argument(int index) {
  return index < __argc && __argv[index] != nullptr ? std::string_view(__argv[index])
                                                    : std::string_view();
}

HWND SecondArgumentHandle() {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(ParseWindowHandle(Argument(2))));
}

void StartMode(SaverMode mode) {
  switch (mode) {
    case SaverMode::Settings:
      Application().SetMainForm(std::make_unique<TForm2>());
      break;
    case SaverMode::Preview:
      RunPreview(SecondArgumentHandle());
      break;
    case SaverMode::PasswordChange:
      ChangeSaverPassword(SecondArgumentHandle());
      break;
    case SaverMode::FullScreen:
      Application().SetMainForm(std::make_unique<TForm1>());
      break;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  RestrictLibrarySearch();
  const SaverMode mode = ReadSaverMode(Argument(1));
  Application().Initialize(instance);
  GuardHandler([mode] { StartMode(mode); });
  Application().Run();
  return 0;
}
