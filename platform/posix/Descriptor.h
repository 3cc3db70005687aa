#pragma once
// One POSIX file descriptor, closed once.
#include <unistd.h>

#include <utility>

namespace platform {

class CDescriptor {
 public:
  explicit CDescriptor(int fd) : m_fd(fd) {}
  ~CDescriptor() {
    if (m_fd >= 0) close(m_fd);
  }
  CDescriptor(const CDescriptor&) = delete;
  CDescriptor& operator=(const CDescriptor&) = delete;

  int Get() const { return m_fd; }
  // The descriptor is the caller's to close from now on.
  int Release() { return std::exchange(m_fd, -1); }

 private:
  int m_fd;
};

}  // namespace platform
