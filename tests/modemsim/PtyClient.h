#pragma once
// The client end of the simulator's line, opened by path and set raw with
// plain termios calls, independent of the project's serial classes.
#include <string>

class CPtyClient {
 public:
  CPtyClient() = default;
  ~CPtyClient();
  CPtyClient(const CPtyClient&) = delete;
  CPtyClient& operator=(const CPtyClient&) = delete;

  bool Open(const std::string& path);
  // Sets both directions' speed, a termios constant (B9600 ...).
  bool SetSpeed(unsigned speed);
  void Close();
  bool Send(const std::string& bytes);
  // Reads until at least count bytes arrived or limitMs passed, then for as
  // long as bytes keep coming within settleMs; gives all of it.
  std::string Read(size_t count, int limitMs = 2000, int settleMs = 40);
  // True when the line hangs up (read error or end) within limitMs.
  bool HangsUp(int limitMs);

 private:
  int m_fd = -1;
};
