#include "platform/Clock.h"

#include <atomic>
#include <ctime>

#include "platform/common/Backend.h"

namespace platform {
namespace {

// Atomic so that a reader never sees a torn pointer; tests still swap them
// only while no other thread is using the clock.
std::atomic<LocalTimeSource> s_localTimeSource{nullptr};
std::atomic<TickSource> s_tickSource{nullptr};
std::atomic<uint32_t> s_tickRate{1};

}  // namespace

LocalTime Now() {
  LocalTimeSource source = s_localTimeSource.load();
  return source ? source() : backend::SystemLocalTime();
}

uint32_t TickMs() {
  TickSource source = s_tickSource.load();
  return source ? source() : backend::SystemTickMs();
}

uint32_t RealMsOfTicks(uint32_t tickMs) {
  const uint64_t rate = s_tickRate.load();
  return static_cast<uint32_t>((tickMs + rate - 1) / rate);
}

int64_t UnixSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

void SetLocalTimeSourceForTests(LocalTimeSource source) { s_localTimeSource.store(source); }

void SetTickSourceForTests(TickSource source, uint32_t rate) {
  s_tickRate.store(source != nullptr && rate > 1 ? rate : 1);
  s_tickSource.store(source);
}

}  // namespace platform
