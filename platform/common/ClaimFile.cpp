#include "platform/ClaimFile.h"

#include <atomic>
#include <cstdio>
#include <utility>

#include "platform/Clock.h"
#include "platform/Files.h"
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

bool MakeClaimFolder(const std::string& folder, std::string& reason) {
  if (EnsureDir(folder, reason)) return true;
  // Perhaps a parent is missing; where a parent fails, its reason is the one.
  const size_t cut = folder.rfind(kPathSeparator);
  if (cut == std::string::npos || cut == 0 || !MakeClaimFolder(folder.substr(0, cut), reason)) {
    return false;
  }
  return EnsureDir(folder, reason);
}

}  // namespace platform
