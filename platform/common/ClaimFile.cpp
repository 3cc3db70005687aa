#include "platform/ClaimFile.h"

#include <atomic>
#include <cstdio>
#include <utility>

#include "platform/Clock.h"
#include "platform/common/ClaimLine.h"

namespace platform {

ClaimFile::ClaimFile(ClaimFile&& other) noexcept
    : m_handle(std::exchange(other.m_handle, -1)), m_path(std::move(other.m_path)) {}

ClaimFile& ClaimFile::operator=(ClaimFile&& other) noexcept {
  if (this != &other) {
    Leave();
    m_handle = std::exchange(other.m_handle, -1);
    m_path = std::move(other.m_path);
  }
  return *this;
}

std::string OwnClaimLine() {
  static std::atomic<unsigned> serial{0};
  const LocalTime t = Now();
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d,%03d", t.year, t.month, t.day,
                t.hour, t.minute, t.second, t.millisecond);
  std::string host = backend::HostName();
  if (host.empty()) host = "?";
  return std::to_string(CurrentProcessId()) + " " + host + " " + stamp + " #" +
         std::to_string(++serial) + "\n";
}

std::string FirstLine(const std::string& bytes) { return bytes.substr(0, bytes.find('\n')); }

}  // namespace platform
