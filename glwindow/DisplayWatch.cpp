#include "glwindow/DisplayWatch.h"

#include <cstring>
#include <utility>

#include "win32/SystemLibrary.h"

namespace {

// The platform's values.
constexpr DWORD kDeviceNotifyWindowHandle = 0;
constexpr DWORD kNotifyForThisSession = 0;
constexpr WPARAM kWtsConsoleConnect = 1;
constexpr WPARAM kWtsConsoleDisconnect = 2;
constexpr WPARAM kWtsRemoteConnect = 3;
constexpr WPARAM kWtsRemoteDisconnect = 4;
constexpr DWORD kDisplayOff = 0;

// POWERBROADCAST_SETTING, whose data follows its length.
struct PowerSetting {
  GUID setting;
  DWORD data_length;
  UCHAR data[1];
};

template <typename Fn>
Fn Entry(HMODULE module, const char* name) {
  return module == nullptr
             ? nullptr
             : reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Truthful here: the manifest lists the systems the program supports, and without it
// Windows 8.1 and later would still answer 6.2, which passes. The major version is tested
// with the minor and the service pack, as the call's documentation asks.
bool SystemIsWindows8OrLater() {
  OSVERSIONINFOEXW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  version.dwMajorVersion = 6;
  version.dwMinorVersion = 2;
  DWORDLONG condition = 0;
  condition = VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
  condition = VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);
  condition = VerSetConditionMask(condition, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
  const DWORD tested = VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR;
  return VerifyVersionInfoW(&version, tested, condition) != FALSE;
}

}  // namespace

DisplayNotifications SystemDisplayNotifications() {
  const HMODULE user32 = GetModuleHandleA("user32.dll");
  DisplayNotifications calls;
  calls.library = LoadSystemLibrary("wtsapi32.dll");
  const HMODULE wtsapi = calls.library.get();
  calls.RegisterPowerSetting = Entry<DisplayNotifications::RegisterPowerSettingFn>(
      user32, "RegisterPowerSettingNotification");
  calls.UnregisterPowerSetting = Entry<DisplayNotifications::UnregisterPowerSettingFn>(
      user32, "UnregisterPowerSettingNotification");
  calls.RegisterSession =
      Entry<DisplayNotifications::RegisterSessionFn>(wtsapi, "WTSRegisterSessionNotification");
  calls.UnregisterSession =
      Entry<DisplayNotifications::UnregisterSessionFn>(wtsapi, "WTSUnRegisterSessionNotification");
  calls.Windows8OrLater = &SystemIsWindows8OrLater;
  return calls;
}

DisplayWatch::DisplayWatch(DisplayNotifications calls) : calls_(std::move(calls)) {}

DisplayWatch::~DisplayWatch() {
  Stop();
}

void DisplayWatch::Start(HWND window) {
  Stop();
  window_ = window;
  const bool session_status = calls_.Windows8OrLater != nullptr && calls_.Windows8OrLater();
  watched_setting_ = session_status ? &kSessionDisplayStatus : &kMonitorPowerOn;
  if (calls_.RegisterPowerSetting != nullptr) {
    // Windows answers at once with the current state.
    power_ = calls_.RegisterPowerSetting(window, watched_setting_, kDeviceNotifyWindowHandle);
  }
  if (calls_.RegisterSession != nullptr) {
    session_registered_ = calls_.RegisterSession(window, kNotifyForThisSession) != FALSE;
  }
}

void DisplayWatch::Stop() {
  if (power_ != nullptr && calls_.UnregisterPowerSetting != nullptr) {
    calls_.UnregisterPowerSetting(power_);
  }
  power_ = nullptr;
  if (session_registered_ && calls_.UnregisterSession != nullptr) {
    calls_.UnregisterSession(window_);
  }
  session_registered_ = false;
  watched_setting_ = nullptr;
  window_ = nullptr;
}

bool DisplayWatch::Notice(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == kWmPowerBroadcast && wparam == kPbtPowerSettingChange) {
    PowerSettingChanged(lparam);
    return true;
  }
  if (msg == kWmWtsSessionChange) {
    SessionChanged(wparam);
    return true;
  }
  return false;
}

void DisplayWatch::PowerSettingChanged(LPARAM lparam) {
  const auto* setting = reinterpret_cast<const PowerSetting*>(lparam);
  if (setting == nullptr || setting->data_length < sizeof(DWORD)) {
    return;
  }
  if (watched_setting_ == nullptr || !IsEqualGUID(setting->setting, *watched_setting_)) {
    return;
  }
  DWORD state = 0;
  std::memcpy(&state, setting->data, sizeof(state));
  // A dimmed display (2) still shows the clock.
  display_on_ = state != kDisplayOff;
}

void DisplayWatch::SessionChanged(WPARAM event) {
  switch (event) {
    case kWtsConsoleConnect:
    case kWtsRemoteConnect:
      session_has_display_ = true;
      break;
    case kWtsConsoleDisconnect:
    case kWtsRemoteDisconnect:
      session_has_display_ = false;
      break;
    default:
      break;
  }
}
