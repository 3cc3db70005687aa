#include "platform/SerialDevice.h"

#include "platform/Clock.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>

#include "platform/common/ComPortMap.h"
#include "platform/posix/TtyNames.h"

namespace platform {
namespace {

struct BaudRate {
  int rate;
  speed_t speed;
};

constexpr BaudRate kBaudRates[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},
    {150, B150},       {200, B200},       {300, B300},       {600, B600},
    {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},
    {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

bool FindSpeed(int rate, speed_t& speed) {
  for (const BaudRate& entry : kBaudRates) {
    if (entry.rate == rate) {
      speed = entry.speed;
      return true;
    }
  }
  return false;
}

// Raw bytes in both directions: no echo, no CR/LF translation, no line
// editing, no signals, and reads that never wait (VMIN = VTIME = 0). Character
// size, parity, stop bits and hardware flow control stay as the device had
// them; software flow control is input processing and goes with raw mode.
bool MakeRaw(int fd) {
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) return false;
  const tcflag_t kept = CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS;
  const tcflag_t lineBits = settings.c_cflag & kept;
  cfmakeraw(&settings);
  settings.c_cflag = (settings.c_cflag & ~kept) | lineBits | CREAD;
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  return tcsetattr(fd, TCSANOW, &settings) == 0;
}

int64_t MonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// The system's words for an error number.
std::string ErrorText(int error) { return std::strerror(error); }

// Errors after which the descriptor serves no more: the device went away.
constexpr int kLossErrors[] = {EIO, ENXIO, ENODEV};

bool IsLossError(int error) {
  for (int loss : kLossErrors) {
    if (error == loss) return true;
  }
  return false;
}

constexpr short kHangUpEvents = POLLERR | POLLHUP | POLLNVAL;

// A terminal that hung up (the far end of a pty closed, an adapter was
// unplugged, the carrier dropped on a line that watches it) stays hung up
// for good. Its reads give 0 bytes, as a silent line does with VMIN = VTIME =
// 0; any request for its state fails, which gives the system's words.
std::string HangUpText(int fd) {
  int pending = 0;
  return ioctl(fd, FIONREAD, &pending) < 0 ? ErrorText(errno) : "the device hung up";
}

bool HasHungUp(int fd) {
  pollfd device{fd, POLLIN, 0};
  return poll(&device, 1, 0) > 0 && (device.revents & kHangUpEvents) != 0;
}

// Opens the device exclusively. TIOCEXCL keeps other users' opens out, but
// root bypasses it, so the flock is what really enforces exclusivity here.
// failure says why when it gives -1.
int OpenExclusive(const std::string& path, std::string& failure) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    failure = ErrorText(errno);
    return -1;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    // "Resource temporarily unavailable" would not tell the operator much.
    failure = errno == EWOULDBLOCK ? "in use by another program" : ErrorText(errno);
    close(fd);
    return -1;
  }
  ioctl(fd, TIOCEXCL);
  return fd;
}

// Why MakeRaw failed: a file or a device that is no terminal refuses the
// line settings with "Inappropriate ioctl for device".
std::string RawModeFailure(int error) {
  return error == ENOTTY ? "not a serial device" : ErrorText(error);
}

// A pty's exclusive flag outlives the descriptor; clear it for the next user.
void ReleaseExclusive(int fd) {
  ioctl(fd, TIOCNXCL);
  close(fd);
}

}  // namespace

std::string ComDevicePath(int comNumber) {
  std::string mapped = backend::MappedComPath(comNumber);
  return mapped.empty() ? backend::TtyPathOfCom(comNumber) : mapped;
}

SerialDevice::~SerialDevice() { Close(); }

std::string ComNumbering() { return backend::TtyFamiliesText(); }

bool SerialDevice::Open(int comNumber) {
  Close();
  m_failure.clear();
  const std::string path = ComDevicePath(comNumber);
  int fd = -1;
  if (path.empty()) {
    m_failure = "no device has this COM number (" + ComNumbering() + ")";
  } else {
    fd = OpenExclusive(path, m_failure);
  }
  if (fd >= 0 && !MakeRaw(fd)) {
    m_failure = RawModeFailure(errno);
    ReleaseExclusive(fd);
    fd = -1;
  }
  m_handle = fd;
  m_state = fd >= 0 ? State::Valid : State::Failed;
  m_lost = false;
  return fd >= 0;
}

void SerialDevice::Close() {
  if (m_state != State::Valid) return;
  ReleaseExclusive(static_cast<int>(m_handle));
  m_handle = -1;
  m_state = State::Null;
}

// The kernel's tty buffers are fixed; there are no queues to size.
void SerialDevice::SetupQueues(uint32_t, uint32_t) {}

// Only the write limits matter here: Read never waits, whatever the record says.
void SerialDevice::SetTimeouts(const SerialTimeouts& timeouts) { m_timeouts = timeouts; }

bool SerialDevice::ApplySpeed(int baudRate) {
  if (m_state != State::Valid || m_lost) return false;  // the loss stays the reason
  const int fd = static_cast<int>(m_handle);
  termios settings{};
  speed_t speed = 0;
  if (baudRate != 0 && !FindSpeed(baudRate, speed)) {
    m_failure = "the speed " + std::to_string(baudRate) + " bit/s is not supported";
    return false;
  }
  const bool applied = tcgetattr(fd, &settings) == 0 &&
                       (baudRate == 0 || (cfsetispeed(&settings, speed) == 0 &&
                                          cfsetospeed(&settings, speed) == 0)) &&
                       tcsetattr(fd, TCSANOW, &settings) == 0;
  m_failure = applied ? std::string() : ErrorText(errno);
  return applied;
}

void SerialDevice::Purge() {
  if (m_state == State::Valid) tcflush(static_cast<int>(m_handle), TCIOFLUSH);
}

// Nothing waits on line events here, so there is no event mask to clear.
void SerialDevice::ClearEventMask() {}

uint32_t SerialDevice::Read(void* buffer, uint32_t capacity) {
  if (m_state != State::Valid || m_lost || capacity == 0) return 0;
  const int fd = static_cast<int>(m_handle);
  ssize_t got;
  do {
    got = read(fd, buffer, capacity);
  } while (got < 0 && errno == EINTR);
  if (got > 0) return static_cast<uint32_t>(got);
  if (got < 0 && IsLossError(errno)) MarkLost(ErrorText(errno));
  if (got == 0 && HasHungUp(fd)) MarkLost(HangUpText(fd));
  return 0;  // EAGAIN or 0: nothing arrived yet
}

bool SerialDevice::WaitForInput(uint32_t milliseconds) {
  if (m_state != State::Valid || m_lost) {
    SleepMs(m_state == State::Valid ? milliseconds : 1);
    return false;
  }
  const int fd = static_cast<int>(m_handle);
  pollfd device{fd, POLLIN, 0};
  const int limit = milliseconds > INT_MAX ? INT_MAX : static_cast<int>(milliseconds);
  // A signal ends the wait early, as if the time had passed.
  if (poll(&device, 1, limit) <= 0) return false;
  if ((device.revents & kHangUpEvents) != 0) {
    MarkLost(HangUpText(fd));
    return false;
  }
  return true;
}

// Like a Windows write time-out: the whole write may take constant +
// multiplier * length ms; both 0 means no limit.
uint32_t SerialDevice::Write(const void* data, uint32_t length) {
  if (m_state != State::Valid || m_lost) return 0;
  const int fd = static_cast<int>(m_handle);
  const int64_t limit = static_cast<int64_t>(m_timeouts.writeTotalConstant) +
                        static_cast<int64_t>(m_timeouts.writeTotalMultiplier) * length;
  const int64_t deadline = MonotonicMs() + limit;
  const char* bytes = static_cast<const char*>(data);
  uint32_t done = 0;
  while (done < length) {
    const ssize_t written = write(fd, bytes + done, length - done);
    if (written > 0) {
      done += static_cast<uint32_t>(written);
      continue;
    }
    if (written < 0 && errno != EAGAIN && errno != EINTR) {
      if (IsLossError(errno)) MarkLost(ErrorText(errno));
      break;
    }
    const int64_t left = deadline - MonotonicMs();
    if (limit != 0 && left <= 0) break;
    pollfd waiting{fd, POLLOUT, 0};
    const int wait = limit == 0 ? -1 : static_cast<int>(left > 1000000 ? 1000000 : left);
    if (poll(&waiting, 1, wait) < 0 && errno != EINTR) break;
    if ((waiting.revents & kHangUpEvents) != 0) {
      MarkLost(HangUpText(fd));
      break;
    }
  }
  return done;
}

}  // namespace platform
