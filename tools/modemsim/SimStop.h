#pragma once
// When the simulator is to stop: on SIGTERM or SIGINT, when the stop file
// appears, or when its time is up. Long waits of the modem (a late network,
// a reboot) ask too, so that a stop never waits for them.
#include <chrono>
#include <string>

namespace modemsim {

// Makes SIGTERM and SIGINT request the stop and ignores SIGPIPE; once, from
// main, before anything waits.
void CatchStopSignals();

class CSimStop {
 public:
  // stopFile: "" for none.
  CSimStop(std::string stopFile, int maxSeconds);

  bool Requested() const;

 private:
  std::string m_stopFile;
  std::chrono::steady_clock::time_point m_deadline;
};

}  // namespace modemsim
