#pragma once
// The power-up of the device: for a while after it (the simulator's start,
// the end of a reboot) the SIM is busy and every submission is refused.
#include <chrono>
#include <string>

namespace modemsim {

class CSimPower {
 public:
  // busyMs: how long the SIM stays busy after power-up (0: not at all);
  // busyLine: the refusal meanwhile ("+CMS ERROR: 314", "+CME ERROR: 14").
  CSimPower(int busyMs, std::string busyLine);

  void PowerUp();  // now
  // The refusal of an AT+CMGS now: the busy line within the window, else "".
  std::string Refusal() const;

 private:
  std::chrono::milliseconds m_busy;
  std::string m_busyLine;
  std::chrono::steady_clock::time_point m_poweredUp;
};

}  // namespace modemsim
