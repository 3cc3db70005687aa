#include "tools/modemsim/SimPower.h"

#include <utility>

namespace modemsim {

CSimPower::CSimPower(int busyMs, std::string busyLine)
    : m_busy(busyMs),
      m_busyLine(std::move(busyLine)),
      m_poweredUp(std::chrono::steady_clock::now()) {}

void CSimPower::PowerUp() { m_poweredUp = std::chrono::steady_clock::now(); }

std::string CSimPower::Refusal() const {
  return std::chrono::steady_clock::now() - m_poweredUp < m_busy ? m_busyLine : std::string();
}

}  // namespace modemsim
