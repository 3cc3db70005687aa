#include "support/FastClock.h"

#include <atomic>
#include <chrono>

#include "platform/Clock.h"

namespace testing_support {

namespace {

std::atomic<uint32_t> g_factor{1};

uint32_t FastTick() {
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
  return static_cast<uint32_t>(ms * g_factor.load());
}

}  // namespace

FastClock::FastClock(uint32_t factor) {
  g_factor = factor;
  platform::SetTickSourceForTests(&FastTick, factor);
}

FastClock::~FastClock() { platform::SetTickSourceForTests(nullptr); }

}  // namespace testing_support
