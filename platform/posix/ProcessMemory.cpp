#include "platform/ProcessMemory.h"

#include <unistd.h>

#include <cstdio>

namespace platform {

uint64_t ProcessResidentBytes() {
  // statm: total size, then the resident set, both in pages.
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  unsigned long long size = 0;
  unsigned long long resident = 0;
  const int read = std::fscanf(statm, "%llu %llu", &size, &resident);
  std::fclose(statm);
  const long page = sysconf(_SC_PAGESIZE);
  return read == 2 && page > 0 ? resident * static_cast<uint64_t>(page) : 0;
}

}  // namespace platform
