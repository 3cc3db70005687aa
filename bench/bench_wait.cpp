// How much processor time a reply wait costs when it has nothing to do: a
// 10-second wait on a silent simulated modem, and one while the modem goes on
// sending unsolicited lines that answer nothing.
#include <cstdio>
#include <string>
#include <vector>

#include "Measure.h"
#include "modem/ComPort.h"
#include "support/SimProcess.h"
#include "support/TempDir.h"

namespace {

constexpr int kPort = 31;

bool Wait(const char* label, const std::vector<std::string>& simArgs) {
  testing_support::SimProcess sim(kPort, simArgs);
  CComPort port;
  if (!sim.Started() || !port.Open(kPort)) {
    std::fprintf(stderr, "bench_wait: the simulated modem did not start\n");
    return false;
  }
  reply::CAnswerReader reader({});
  CMeasure measure;
  port.Await(reader, 10000);
  double wall = measure.WallMs();
  double cpu = measure.CpuMs();
  port.Close();
  std::printf("wait %s: wall %.0f ms, cpu %.1f ms, cpu share %.2f %%\n", label, wall, cpu,
              100.0 * cpu / wall);
  return true;
}

}  // namespace

int main() {
  testing_support::TempDir dir;
  dir.UseAsProgramFolder();
  if (!Wait("on a silent modem", {"--silent"})) return 1;
  if (!Wait("on a modem sending a notice every 20 ms",
            {"--urc", "\\r\\n^RSSI:17\\r\\n", "--urc-every", "20"})) {
    return 1;
  }
  return 0;
}
