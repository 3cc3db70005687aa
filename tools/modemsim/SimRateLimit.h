#pragma once
// A network that takes at most a number of messages within any window of
// time and refuses more (+CMS ERROR: 41, temporary failure).
#include <chrono>
#include <deque>

namespace modemsim {

class CSimRateLimit {
 public:
  // count messages within windowMs; a window of 0 takes everything.
  CSimRateLimit(int count, int windowMs);

  // True when a message may go now, and then counts it; a refused one is
  // not counted.
  bool Admit();

 private:
  size_t m_count;
  std::chrono::milliseconds m_window;
  std::deque<std::chrono::steady_clock::time_point> m_taken;  // oldest first
};

}  // namespace modemsim
