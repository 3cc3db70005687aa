#include "platform/Clock.h"

#include <windows.h>

#include "platform/common/Backend.h"

namespace platform {
namespace backend {

LocalTime SystemLocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  LocalTime result;
  result.year = now.wYear;
  result.month = now.wMonth;
  result.day = now.wDay;
  result.hour = now.wHour;
  result.minute = now.wMinute;
  result.second = now.wSecond;
  result.millisecond = now.wMilliseconds;
  return result;
}

uint32_t SystemTickMs() { return GetTickCount(); }

}  // namespace backend

void SleepMs(uint32_t milliseconds) { Sleep(milliseconds); }

uint64_t ProcessCpuMicroseconds() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  auto ticks = [](const FILETIME& t) {  // 100 ns units
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return (ticks(kernel) + ticks(user)) / 10;
}

}  // namespace platform
