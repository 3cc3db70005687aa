#include "tools/modemsim/SimRateLimit.h"

namespace modemsim {

CSimRateLimit::CSimRateLimit(int count, int windowMs)
    : m_count(count > 0 ? static_cast<size_t>(count) : 0), m_window(windowMs) {}

bool CSimRateLimit::Admit() {
  if (m_window.count() == 0) return true;
  const auto now = std::chrono::steady_clock::now();
  while (!m_taken.empty() && now - m_taken.front() >= m_window) m_taken.pop_front();
  if (m_taken.size() >= m_count) return false;
  m_taken.push_back(now);
  return true;
}

}  // namespace modemsim
