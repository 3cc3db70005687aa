#include "platform/SerialDevice.h"

namespace platform {

// The first loss is the one that explains the rest.
void SerialDevice::MarkLost(const std::string& systemText) {
  if (m_lost) return;
  m_lost = true;
  m_failure = systemText;
}

}  // namespace platform
