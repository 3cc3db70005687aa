#include "platform/ProcessMemory.h"

#include <windows.h>
// After windows.h. From Windows 7 on, GetProcessMemoryInfo is kernel32's
// K32GetProcessMemoryInfo: no psapi library to link.
#include <psapi.h>

namespace platform {

uint64_t ProcessResidentBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return counters.WorkingSetSize;
}

}  // namespace platform
