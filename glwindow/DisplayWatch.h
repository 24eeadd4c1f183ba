#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <functional>

#include "win32/WinHandles.h"

// The calls through which a window hears that nobody can see it: the display powered
// down, or the session lost its display. One table, so that a test hands in its own.
struct DisplayNotifications {
  using RegisterPowerSettingFn = HANDLE(WINAPI*)(HANDLE recipient, const GUID* setting,
                                                 DWORD flags);
  using UnregisterPowerSettingFn = BOOL(WINAPI*)(HANDLE notification);
  using RegisterSessionFn = BOOL(WINAPI*)(HWND window, DWORD flags);
  using UnregisterSessionFn = BOOL(WINAPI*)(HWND window);

  std::function<HANDLE(HANDLE recipient, const GUID* setting, DWORD flags)> RegisterPowerSetting;
  std::function<BOOL(HANDLE notification)> UnregisterPowerSetting;
  std::function<BOOL(HWND window, DWORD flags)> RegisterSession;
  std::function<BOOL(HWND window)> UnregisterSession;
  // Windows 8 and later report the display of the program's own session; Windows 7
  // only the monitors' power.
  std::function<bool()> Windows8OrLater;
  // The library the session entries come from, held as long as they are.
  UniqueModule library;
};

// The system's own calls, looked up at run time; a missing one stays null and its
// notification is simply never heard.
DisplayNotifications SystemDisplayNotifications();

// The platform's values; older headers lack some of the names.
inline constexpr UINT kWmPowerBroadcast = 0x0218;
inline constexpr WPARAM kPbtPowerSettingChange = 0x8013;
inline constexpr UINT kWmWtsSessionChange = 0x02B1;
// GUID_SESSION_DISPLAY_STATUS: the display of the session the program runs in.
inline constexpr GUID kSessionDisplayStatus = {
    0x2b84c20e, 0xad23, 0x4ddf, {0x93, 0xdb, 0x05, 0xff, 0xbd, 0x7e, 0xfc, 0xa5}};
// GUID_MONITOR_POWER_ON: the monitors' power, all Windows 7 reports.
inline constexpr GUID kMonitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

// Whether a window's frames can be seen, from the display's power and the session's
// notifications. Registration that fails (no such service) leaves it seen for good.
// Only the power setting registered for counts: in a Remote Desktop session the
// console's monitor may sleep while the remote user watches the clock.
class DisplayWatch {
 public:
  explicit DisplayWatch(DisplayNotifications calls);
  DisplayWatch(const DisplayWatch&) = delete;
  DisplayWatch& operator=(const DisplayWatch&) = delete;
  ~DisplayWatch();

  void Start(HWND window);
  // Before the window goes.
  void Stop();
  // True when the message was one of the notifications; Seen() may have changed.
  bool Notice(UINT msg, WPARAM wparam, LPARAM lparam);
  bool Seen() const { return display_on_ && session_has_display_; }

 private:
  void PowerSettingChanged(LPARAM lparam);
  void SessionChanged(WPARAM event);

  DisplayNotifications calls_;
  HWND window_ = nullptr;
  HANDLE power_ = nullptr;
  // The power setting whose notices count, chosen at Start.
  const GUID* watched_setting_ = nullptr;
  bool session_registered_ = false;
  bool display_on_ = true;
  bool session_has_display_ = true;
};
