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

}  // namespace platform
