#pragma once
// One pseudo-terminal pair in raw mode (no echo, no translation of bytes).
// The simulator keeps the slave open itself, so that the master never sees a
// hang-up while no client has the line open; closing the pair hangs up the
// client's end.
#include <cstddef>
#include <string>

namespace modemsim {

class CSimPty {
 public:
  CSimPty() = default;
  ~CSimPty();
  CSimPty(const CSimPty&) = delete;
  CSimPty& operator=(const CSimPty&) = delete;

  bool Open();  // a new pair; false when the system gives none
  void Close();
  bool IsOpen() const { return m_master != -1; }
  const std::string& SlavePath() const { return m_slavePath; }
  // The bit rate the client set on its end (the slave's settings, which
  // client and simulator share); 0 when unknown.
  int ClientBaud() const;

  // Waits up to timeoutMs for bytes; gives the count read, 0 when none came.
  size_t Read(char* buffer, size_t capacity, int timeoutMs);
  // Writes all bytes, waiting up to a second for room each time the client's
  // input queue is full (with waitForRoom false: not at all); gives false when
  // they could not all be written.
  bool Write(const char* data, size_t length, bool waitForRoom = true);

 private:
  int m_master = -1;
  int m_slave = -1;
  std::string m_slavePath;
};

}  // namespace modemsim
