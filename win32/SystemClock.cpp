#include "win32/SystemClock.h"

#include <vector>

#include "win32/WinHandles.h"

namespace {

constexpr char kTimePrivilege[] = "SeSystemtimePrivilege";

// Enables the right to set the time for as long as it lives, then puts it back.
class TimePrivilege {
 public:
  TimePrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
      error_ = GetLastError();
      return;
    }
    token_.reset(token);
    TOKEN_PRIVILEGES wanted{};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueA(nullptr, kTimePrivilege, &wanted.Privileges[0].Luid)) {
      error_ = GetLastError();
      return;
    }
    DWORD size = sizeof(previous_);
    // NOTE: AdjustTokenPrivileges succeeds for a privilege the token lacks and says so
    // only through ERROR_NOT_ALL_ASSIGNED.
    if (!AdjustTokenPrivileges(token_.get(), FALSE, &wanted, sizeof(previous_), &previous_,
                               &size) ||
        GetLastError() == ERROR_NOT_ALL_ASSIGNED) {
      error_ = ERROR_PRIVILEGE_NOT_HELD;
      return;
    }
    adjusted_ = true;
  }
  TimePrivilege(const TimePrivilege&) = delete;
  TimePrivilege& operator=(const TimePrivilege&) = delete;
  ~TimePrivilege() {
    if (adjusted_) {
      AdjustTokenPrivileges(token_.get(), FALSE, &previous_, 0, nullptr, nullptr);
    }
  }

  DWORD Error() const { return error_; }

 private:
  UniqueKernelHandle token_;
  TOKEN_PRIVILEGES previous_{};
  DWORD error_ = 0;
  bool adjusted_ = false;
};

}  // namespace

DWORD SetSystemClock(const SYSTEMTIME& utc) {
  const TimePrivilege privilege;
  if (privilege.Error() != 0) {
    return privilege.Error();
  }
  // From UTC directly: the system keeps UTC, so the local clock follows the zone's rules
  // for the new date, daylight saving included, with no conversion of ours to go wrong.
  if (!SetSystemTime(&utc)) {
    const DWORD error = GetLastError();
    return error != 0 ? error : ERROR_GEN_FAILURE;
  }
  return 0;
}

bool HoldsTimePrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    return false;
  }
  const UniqueKernelHandle owner(token);
  LUID wanted{};
  DWORD size = 0;
  GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
  if (size < sizeof(TOKEN_PRIVILEGES) || !LookupPrivilegeValueA(nullptr, kTimePrivilege, &wanted)) {
    return false;
  }
  std::vector<unsigned char> buffer(size);
  auto* privileges = reinterpret_cast<TOKEN_PRIVILEGES*>(buffer.data());
  if (!GetTokenInformation(token, TokenPrivileges, privileges, size, &size)) {
    return false;
  }
  const LUID_AND_ATTRIBUTES* entries = privileges->Privileges;
  for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
    const LUID& luid = entries[i].Luid;
    if (luid.LowPart == wanted.LowPart && luid.HighPart == wanted.HighPart) {
      return true;
    }
  }
  return false;
}
