#pragma once
// Makes the millisecond tick of the code under test run faster than real
// time, so that limits of 10 and 30 seconds pass in a fraction of a second
// while the peer still answers in real time. Sleeping stays real.
#include <cstdint>

namespace testing_support {

class FastClock {
 public:
  explicit FastClock(uint32_t factor);
  ~FastClock();
  FastClock(const FastClock&) = delete;
  FastClock& operator=(const FastClock&) = delete;
};

}  // namespace testing_support
