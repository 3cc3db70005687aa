#include "tools/modemsim/SimPty.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "tools/modemsim/SimSpeed.h"

namespace modemsim {

namespace {

constexpr int kWriteRoomMs = 1000;

bool MakeRaw(int fd) {
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) return false;
  cfmakeraw(&settings);
  return tcsetattr(fd, TCSANOW, &settings) == 0;
}

bool WaitFor(int fd, short events, int timeoutMs) {
  pollfd p{fd, events, 0};
  int n = poll(&p, 1, timeoutMs);
  return n > 0 && (p.revents & events) != 0;
}

}  // namespace

CSimPty::~CSimPty() { Close(); }

bool CSimPty::Open() {
  Close();
  m_master = posix_openpt(O_RDWR | O_NOCTTY);
  if (m_master == -1) return false;
  const char* name = nullptr;
  if (grantpt(m_master) == 0 && unlockpt(m_master) == 0) name = ptsname(m_master);
  if (name != nullptr) {
    m_slavePath = name;
    m_slave = open(name, O_RDWR | O_NOCTTY);
  }
  bool ok = m_slave != -1 && MakeRaw(m_slave) &&
            fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK) == 0;
  if (!ok) Close();
  return ok;
}

void CSimPty::Close() {
  if (m_slave != -1) close(m_slave);
  if (m_master != -1) close(m_master);
  m_slave = -1;
  m_master = -1;
  m_slavePath.clear();
}

int CSimPty::ClientBaud() const {
  termios settings{};
  if (m_slave == -1 || tcgetattr(m_slave, &settings) != 0) return 0;
  return BaudOf(cfgetospeed(&settings));
}

size_t CSimPty::Read(char* buffer, size_t capacity, int timeoutMs) {
  if (m_master == -1 || !WaitFor(m_master, POLLIN, timeoutMs)) return 0;
  ssize_t n = read(m_master, buffer, capacity);
  return n > 0 ? static_cast<size_t>(n) : 0;
}

bool CSimPty::Write(const char* data, size_t length, bool waitForRoom) {
  size_t done = 0;
  while (m_master != -1 && done < length) {
    ssize_t n = write(m_master, data + done, length - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      return false;
    } else if (!waitForRoom || !WaitFor(m_master, POLLOUT, kWriteRoomMs)) {
      return false;
    }
  }
  return done == length;
}

}  // namespace modemsim
