// How much processor time a reply wait costs when it has nothing to do: a
// wait on a silent simulated modem, and one while the modem goes on sending
// unsolicited lines that answer nothing. 10 s each, or the seconds given as
// the argument (a long run evens out the coarse processor clock of Windows
// and Wine, 10 ms a step).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Measure.h"
#include "modem/ComPort.h"
#include "support/SimProcess.h"
#include "support/TempDir.h"

namespace {

constexpr int kPort = 31;

bool Wait(const char* label, std::vector<std::string> simArgs, uint32_t limitMs) {
  // The simulator outlives the wait.
  simArgs.insert(simArgs.end(), {"--max-seconds", std::to_string(limitMs / 1000 + 60)});
  testing_support::SimProcess sim(kPort, simArgs);
  CComPort port;
  if (!sim.Started() || !port.Open(kPort)) {
    std::fprintf(stderr, "bench_wait: the simulated modem did not start\n");
    return false;
  }
  reply::CAnswerReader reader({});
  CMeasure measure;
  port.Await(reader, limitMs);
  double wall = measure.WallMs();
  double cpu = measure.CpuMs();
  port.Close();
  std::printf("wait %s: wall %.0f ms, cpu %.1f ms, cpu share %.2f %%\n", label, wall, cpu,
              100.0 * cpu / wall);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const long seconds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10;
  if (seconds <= 0 || seconds > 3600) {
    std::fprintf(stderr, "usage: bench_wait [SECONDS (1-3600, default 10)]\n");
    return 2;
  }
  const uint32_t limitMs = static_cast<uint32_t>(seconds) * 1000;
  testing_support::TempDir dir;
  dir.UseAsProgramFolder();
  if (!Wait("on a silent modem", {"--silent"}, limitMs)) return 1;
  if (!Wait("on a modem sending a notice every 20 ms",
            {"--urc", "\\r\\n^RSSI:17\\r\\n", "--urc-every", "20"}, limitMs)) {
    return 1;
  }
  return 0;
}
