// How much processor time listening for reports and replies costs: the
// engine captures a simulated modem and listens (CollectReports) on a modem
// that has nothing to tell, and on one that has a status report now and
// then (one for each message sent just before, arriving at random moments
// of the listening, about one every 20 s). The share is the process's
// processor time over the wall time of CollectReports alone (the delivery
// before it not counted), as a share of one core. 20 s each, or the
// seconds given as the argument: 600 for a figure (a long run evens out the
// capture and the coarse processor clock of Windows and Wine, 10 ms a step).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Measure.h"
#include "engine/Engine.h"
#include "support/SimProcess.h"
#include "support/TempDir.h"

namespace {

constexpr int kPort = 35;
constexpr int kSecondsPerReport = 20;
// A report comes this long after its message at the soonest: after the
// delivery, within the listening.
constexpr int kFirstReportMs = 5000;

bool Listen(const char* label, int messages, uint32_t limitMs) {
  const std::string reportDelay = std::to_string(kFirstReportMs) + ":" + std::to_string(limitMs);
  testing_support::SimProcess sim(kPort, {"--max-seconds", std::to_string(limitMs / 1000 + 120),
                                          "--report-delay", reportDelay});
  if (!sim.Started()) {
    std::fprintf(stderr, "bench_listen: the simulated modem did not start\n");
    return false;
  }
  CEngine engine;
  engine.m_port = kPort;
  engine.m_requestReports = 1;
  engine.m_piecePause = 0;
  engine.m_message = "Hello";
  for (int i = 0; i < messages; ++i) {
    engine.AddItem(CListItem{"7900" + std::to_string(2000000 + i), Accepted, ""});
  }
  int sent = 0;
  if (messages > 0 && engine.StartDelivery() != nullptr) {
    engine.WaitForWorker(UINT32_MAX);
    for (const CListItem& item : engine.m_items) sent += item.m_state == Sent;
  }
  const int before = engine.CollectedCounts().reports;
  CMeasure measure;
  engine.CollectReports(limitMs);
  const double wall = measure.WallMs();
  const double cpu = measure.CpuMs();
  const int reports = engine.CollectedCounts().reports - before;
  std::printf("listening %s: %d messages sent before, %d reports while listening; wall %.0f ms, "
              "cpu %.1f ms, cpu share %.3f %%\n",
              label, sent, reports, wall, cpu, 100.0 * cpu / wall);
  std::fflush(stdout);
  engine.Teardown(SettingsAtTeardown::Keep);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const long seconds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 20;
  if (seconds < 10 || seconds > 3600) {
    std::fprintf(stderr, "usage: bench_listen [SECONDS (10-3600, default 20)]\n");
    return 2;
  }
  const uint32_t limitMs = static_cast<uint32_t>(seconds) * 1000;
  testing_support::TempDir dir;
  dir.UseAsProgramFolder();
  if (!Listen("on a modem with nothing to tell", 0, limitMs)) return 1;
  const int messages = static_cast<int>(seconds / kSecondsPerReport) + 1;
  return Listen("on a modem with a report now and then", messages, limitMs) ? 0 : 1;
}
