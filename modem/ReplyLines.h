#pragma once
// Cuts what arrives from the modem into lines as it comes. A line ends at CR
// or LF; the empty lines between (the CR LF around every reply, "\r\r\n")
// are skipped, and zero bytes (line noise) are dropped. Whatever has no end
// yet waits for it, so no buffer size decides whether a reply is seen. Pure:
// no ports, logs or clocks; one object per port, used by one thread.
#include <cstddef>
#include <deque>
#include <string>

namespace reply {

class CLineSplitter {
 public:
  // A line that grows beyond this without an end is garbage (a modem at
  // another speed): it is given as a line of its own, so memory stays bounded.
  static constexpr size_t kMaxLine = 16 * 1024;

  void Feed(const char* data, size_t length);
  // The next complete line, in order of arrival; false when none is complete.
  bool Next(std::string& line);
  // The line begun but not ended: the SMS prompt "> " never gets an end.
  const std::string& Unfinished() const { return m_partial; }
  void Clear();

 private:
  void EndLine();

  std::deque<std::string> m_lines;
  std::string m_partial;
};

}  // namespace reply
