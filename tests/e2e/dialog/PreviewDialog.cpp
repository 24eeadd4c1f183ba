// Plays the display-properties dialog: a top-level window holding a 152 x 112 preview
// area, whose handle it passes to the saver as `/p <handle>`. The tests drive it with
// posted messages (the area belongs to this process, so only it can destroy the area).
//
//   preview_dialog.exe [--seconds N] [--show CMD] [--saver PATH]
//
// --seconds N destroys the area after N seconds and ends; without it the program runs
// until its window is closed. --show CMD applies ShowWindow(CMD) to the dialog after 2 s.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "PreviewDialog.h"

namespace {

HWND g_area = nullptr;
int g_show_command = -1;

constexpr UINT_PTR kEndTimer = 1;
constexpr UINT_PTR kShowTimer = 2;

std::string SaverBesideTests() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path);
  return dir.substr(0, dir.find_last_of("\\/")) + "\\..\\..\\tessaryn.scr";
}

bool StartSaver(const std::string& saver, HWND area) {
  // Appended, not added: g++ 12 warns falsely (-Wrestrict) on "literal" + string.
  std::string command(1, '"');
  command.append(saver).append("\" /p ").append(
      std::to_string(static_cast<long long>(reinterpret_cast<INT_PTR>(area))));
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    return false;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

LRESULT CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case kDestroyArea:
      if (g_area != nullptr) {
        DestroyWindow(g_area);
        g_area = nullptr;
      }
      return 0;
    case kResizeArea:
      SetWindowPos(g_area, nullptr, 0, 0, static_cast<int>(wparam), static_cast<int>(lparam),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    case kShowDialog:
      ShowWindow(hwnd, static_cast<int>(wparam));
      return 0;
    case WM_TIMER:
      KillTimer(hwnd, wparam);
      if (wparam == kShowTimer) {
        ShowWindow(hwnd, g_show_command);
      } else {
        DestroyWindow(hwnd);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wparam, lparam);
  }
}

HWND CreateDialogWindows(HINSTANCE instance) {
  WNDCLASSA dialog{};
  dialog.lpfnWndProc = DialogProc;
  dialog.hInstance = instance;
  dialog.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  dialog.lpszClassName = kDialogClass;
  RegisterClassA(&dialog);
  WNDCLASSA area{};
  area.lpfnWndProc = DefWindowProcA;
  area.hInstance = instance;
  area.hbrBackground = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
  area.lpszClassName = kAreaClass;
  RegisterClassA(&area);

  const HWND top =
      CreateWindowExA(0, kDialogClass, kDialogTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, kDialogX,
                      kDialogY, kDialogWidth, kDialogHeight, nullptr, nullptr, instance, nullptr);
  g_area = CreateWindowExA(0, kAreaClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, kAreaX,
                           kAreaY, kAreaWidth, kAreaHeight, top, nullptr, instance, nullptr);
  return top;
}

}  // namespace

int main(int argc, char** argv) {
  std::string saver = SaverBesideTests();
  int seconds = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--seconds") == 0) {
      seconds = std::atoi(argv[i + 1]);
    } else if (std::strcmp(argv[i], "--show") == 0) {
      g_show_command = std::atoi(argv[i + 1]);
    } else if (std::strcmp(argv[i], "--saver") == 0) {
      saver = argv[i + 1];
    }
  }
  const HWND top = CreateDialogWindows(GetModuleHandleA(nullptr));
  if (top == nullptr || g_area == nullptr || !StartSaver(saver, g_area)) {
    return 1;
  }
  if (seconds > 0) {
    SetTimer(top, kEndTimer, static_cast<UINT>(seconds) * 1000, nullptr);
  }
  if (g_show_command >= 0) {
    SetTimer(top, kShowTimer, 2000, nullptr);
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
