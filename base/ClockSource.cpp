#include "base/ClockSource.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/time.h>
#include <ctime>
#endif

namespace {

#ifdef _WIN32
TimeOfDay FromSystemTime(const SYSTEMTIME& st) {
  return {st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

TimeOfDay ReadLocal() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return FromSystemTime(st);
}

TimeOfDay ReadUtc() {
  SYSTEMTIME st;
  GetSystemTime(&st);
  return FromSystemTime(st);
}
#else
TimeOfDay Read(bool local) {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  const time_t seconds = tv.tv_sec;
  tm parts{};
  if (local) {
    localtime_r(&seconds, &parts);
  } else {
    gmtime_r(&seconds, &parts);
  }
  return {static_cast<uint16_t>(parts.tm_hour), static_cast<uint16_t>(parts.tm_min),
          static_cast<uint16_t>(parts.tm_sec), static_cast<uint16_t>(tv.tv_usec / 1000)};
}

TimeOfDay ReadLocal() {
  return Read(true);
}
TimeOfDay ReadUtc() {
  return Read(false);
}
#endif

}  // namespace

ClockSource SystemClockSource() {
  return {&ReadLocal, &ReadUtc};
}

ClockSource PinnedClockSource(const TimeOfDay& t) {
  return {[t] { return t; }, [t] { return t; }};
}
