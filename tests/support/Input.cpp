#include "tests/support/Input.h"

#include <vector>

#include "tests/support/Pump.h"

void PressKey(WORD vk, WORD modifier) {
  std::vector<INPUT> input;
  const auto key = [&](WORD k, DWORD flags) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = k;
    i.ki.dwFlags = flags;
    input.push_back(i);
  };
  if (modifier != 0) {
    key(modifier, 0);
  }
  key(vk, 0);
  key(vk, KEYEVENTF_KEYUP);
  if (modifier != 0) {
    key(modifier, KEYEVENTF_KEYUP);
  }
  SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

void ClickLeft() {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, input, sizeof(INPUT));
}

std::string WindowText(HWND window) {
  char text[128] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

bool PlaceCursor(int x, int y) {
  SetCursorPos(x, y);
  return PumpUntil(
      [x, y] {
        POINT p{};
        return GetCursorPos(&p) && p.x == x && p.y == y;
      },
      kStateBound_ms);
}

bool BringToFront(HWND window) {
  SetForegroundWindow(window);
  return PumpUntil([window] { return GetForegroundWindow() == window; }, kStateBound_ms);
}
