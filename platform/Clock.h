#pragma once
// Local time, a millisecond tick and sleeping. Tests may replace the local time
// and the tick (a fake midnight, limits that pass without waiting); sleeping
// stays real.
#include <cstdint>

namespace platform {

struct LocalTime {
  int year = 0;
  int month = 0;  // 1-12
  int day = 0;    // 1-31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

LocalTime Now();

// Milliseconds since an arbitrary start; wraps around after 2^32 ms. Take
// differences in uint32_t arithmetic: (TickMs() - start) stays right across
// the wrap.
uint32_t TickMs();

void SleepMs(uint32_t milliseconds);

// Seconds since 1970 (the C library's time()).
int64_t UnixSeconds();

// Processor time (user and system) that this process has used so far, in
// microseconds; for benchmarks.
uint64_t ProcessCpuMicroseconds();

// The real milliseconds in which the tick advances by tickMs, rounded up:
// tickMs itself, unless a test made the tick run faster. For a wait in the
// system that must end when a limit counted by the tick has passed.
uint32_t RealMsOfTicks(uint32_t tickMs);

// Replacements for tests; nullptr restores the real source. Reading while a
// test swaps is race-free (the pointers are atomic), but swap only while no
// other thread depends on a steady clock. rate: the tick milliseconds that
// pass in one real millisecond (at least 1).
using LocalTimeSource = LocalTime (*)();
using TickSource = uint32_t (*)();
void SetLocalTimeSourceForTests(LocalTimeSource source);
void SetTickSourceForTests(TickSource source, uint32_t rate = 1);

}  // namespace platform
