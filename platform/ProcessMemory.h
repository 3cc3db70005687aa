#pragma once
// The memory this process holds, for benchmarks.
#include <cstdint>

namespace platform {

// Resident memory now (the working set on Windows), in bytes; 0 when the
// system does not say.
uint64_t ProcessResidentBytes();

}  // namespace platform
