#pragma once
// A modem that talks at one speed only. A client at another speed and the
// modem cannot understand each other: each side reads the other's bytes as
// garbage (framing errors, stray high bytes).
#include <termios.h>

#include <cstddef>
#include <random>
#include <string>

namespace modemsim {

// The bit rate of a termios speed, 0 for one not in the table.
int BaudOf(speed_t speed);
// True for a bit rate a GSM modem may be fixed at (1200 to 460800 bit/s).
bool IsKnownBaud(int baud);

class CSimSpeed {
 public:
  explicit CSimSpeed(int baud) : m_baud(baud), m_random(7) {}  // 0: any speed

  int Baud() const { return m_baud; }
  bool Understands(int clientBaud) const { return m_baud == 0 || clientBaud == m_baud; }
  // length bytes as a client at the wrong speed reads them: the same run
  // in every simulator, never a letter, a line end or a prompt.
  std::string Garbage(size_t length);

 private:
  int m_baud;
  std::minstd_rand m_random;
};

}  // namespace modemsim
