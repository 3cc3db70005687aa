#include "PtyClient.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

namespace {

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

CPtyClient::~CPtyClient() { Close(); }

bool CPtyClient::Open(const std::string& path) {
  Close();
  m_fd = open(path.c_str(), O_RDWR | O_NOCTTY);
  if (m_fd < 0) return false;
  termios settings{};
  tcgetattr(m_fd, &settings);
  cfmakeraw(&settings);
  tcsetattr(m_fd, TCSANOW, &settings);
  return true;
}

bool CPtyClient::SetSpeed(unsigned speed) {
  termios settings{};
  return tcgetattr(m_fd, &settings) == 0 && cfsetspeed(&settings, speed) == 0 &&
         tcsetattr(m_fd, TCSANOW, &settings) == 0;
}

void CPtyClient::Close() {
  if (m_fd >= 0) close(m_fd);
  m_fd = -1;
}

bool CPtyClient::Send(const std::string& bytes) {
  return write(m_fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

std::string CPtyClient::Read(size_t count, int limitMs, int settleMs) {
  std::string got;
  long long deadline = NowMs() + limitMs;
  for (;;) {
    long long now = NowMs();
    int wait = got.size() < count ? static_cast<int>(deadline - now) : settleMs;
    if (wait <= 0) break;
    pollfd p{m_fd, POLLIN, 0};
    if (poll(&p, 1, wait) <= 0 || (p.revents & POLLIN) == 0) break;
    char buffer[256];
    ssize_t n = read(m_fd, buffer, sizeof buffer);
    if (n <= 0) break;
    got.append(buffer, static_cast<size_t>(n));
  }
  return got;
}

bool CPtyClient::HangsUp(int limitMs) {
  long long deadline = NowMs() + limitMs;
  while (NowMs() < deadline) {
    pollfd p{m_fd, POLLIN, 0};
    if (poll(&p, 1, 10) > 0) {
      if (p.revents & (POLLHUP | POLLERR)) return true;
      char buffer[256];
      if (read(m_fd, buffer, sizeof buffer) <= 0) return true;
    }
  }
  return false;
}
