// A pool of 1, 2, 4 and 8 simulated modems sends one list with pause 0, each
// modem answering every command after 300 ms: wall time, messages per
// minute, the speed-up over one modem, processor time against wall time and
// the most resident memory during the run, as a table.
// Usage: bench_pool [NUMBERS [REPLY_DELAY_MS]]   (400 and 300)
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Measure.h"
#include "engine/Engine.h"
#include "platform/ProcessMemory.h"
#include "support/SimProcess.h"
#include "support/TempDir.h"

namespace {

constexpr int kFirstPort = 71;
constexpr int kModemCounts[] = {1, 2, 4, 8};
constexpr uint32_t kSampleMs = 100;

struct PoolRun {
  int sent = 0;
  double wallMs = 0;
  double cpuMs = 0;
  uint64_t peakBytes = 0;
};

PoolRun Deliver(int modems, int numbers) {
  CEngine engine;
  engine.m_message = "Hello from the pool benchmark";
  for (int k = 0; k < modems; ++k) engine.m_poolPorts.push_back(kFirstPort + k);
  for (int i = 0; i < numbers; ++i) {
    engine.AddItem(CListItem{"7900" + std::to_string(1000000 + i), Accepted, ""});
  }
  PoolRun run;
  CMeasure measure;
  engine.StartDelivery();
  do {
    const uint64_t resident = platform::ProcessResidentBytes();
    if (resident > run.peakBytes) run.peakBytes = resident;
  } while (!engine.WaitForWorker(kSampleMs));
  run.wallMs = measure.WallMs();
  run.cpuMs = measure.CpuMs();
  for (const CListItem& item : engine.m_items) run.sent += item.m_state == Sent;
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const int numbers = argc > 1 ? std::atoi(argv[1]) : 400;
  const std::string delay = argc > 2 ? argv[2] : "300";
  testing_support::TempDir dir;
  dir.UseAsProgramFolder();
  std::vector<std::unique_ptr<testing_support::SimProcess>> sims;
  for (int k = 0; k < kModemCounts[std::size(kModemCounts) - 1]; ++k) {
    sims.push_back(std::make_unique<testing_support::SimProcess>(
        kFirstPort + k, std::vector<std::string>{"--delay", delay, "--max-seconds", "7200"}));
    if (!sims.back()->Started()) return 1;
  }
  std::printf("%d numbers, pause 0, every reply after %s ms; resident before: %.1f MiB\n\n", numbers,
              delay.c_str(), platform::ProcessResidentBytes() / 1048576.0);
  std::printf("| modems | sent | wall | messages/min | speed-up | CPU of wall | peak resident |\n");
  std::printf("|---:|---:|---:|---:|---:|---:|---:|\n");
  double onePerMinute = 0;
  for (int modems : kModemCounts) {
    const PoolRun run = Deliver(modems, numbers);
    const double perMinute = run.sent * 60000.0 / run.wallMs;
    if (modems == 1) onePerMinute = perMinute;
    std::printf("| %d | %d | %.1f s | %.1f | %.2f | %.2f %% | %.1f MiB |\n", modems, run.sent,
                run.wallMs / 1000, perMinute, onePerMinute > 0 ? perMinute / onePerMinute : 0,
                100 * run.cpuMs / run.wallMs, run.peakBytes / 1048576.0);
    std::fflush(stdout);
  }
  return 0;
}
