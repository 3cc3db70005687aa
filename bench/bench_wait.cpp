// How much processor time a reply wait costs while the modem says nothing:
// a 10-second WaitForOk on a silent simulated modem.
#include <cstdio>

#include "Measure.h"
#include "modem/ComPort.h"
#include "support/SimProcess.h"
#include "support/TempDir.h"

int main() {
  testing_support::TempDir dir;
  dir.UseAsProgramFolder();
  testing_support::SimProcess sim(31, {"--silent"});
  CComPort port;
  if (!sim.Started() || !port.Open(31)) {
    std::fprintf(stderr, "bench_wait: the simulated modem did not start\n");
    return 1;
  }
  char buffer[1024];
  CMeasure measure;
  port.WaitForOk(buffer, sizeof buffer, 10000, nullptr);
  double wall = measure.WallMs();
  double cpu = measure.CpuMs();
  port.Close();
  std::printf("WaitForOk on a silent modem: wall %.0f ms, cpu %.1f ms, cpu share %.2f %%\n", wall,
              cpu, 100.0 * cpu / wall);
  return 0;
}
