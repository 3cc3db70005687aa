// A delivery of 200 numbers with pause 0 through the simulated modem (no
// modem delay): the program's own time per message beyond the pacing floor,
// and its processor time against the wall time.
#include <cstdio>
#include <string>

#include "Measure.h"
#include "engine/Engine.h"
#include "support/SimProcess.h"
#include "support/TempDir.h"

int main() {
  constexpr int kPort = 33;
  constexpr int kNumbers = 200;
  testing_support::TempDir dir;
  dir.UseAsProgramFolder();
  testing_support::SimProcess sim(kPort);
  if (!sim.Started()) return 1;
  CEngine engine;
  engine.m_port = kPort;
  engine.m_message = "Hello from the delivery benchmark";
  for (int i = 0; i < kNumbers; ++i) {
    engine.AddItem(CListItem{"7900" + std::to_string(1000000 + i), Accepted, ""});
  }
  CMeasure measure;
  engine.StartDelivery();
  engine.WaitForWorker(UINT32_MAX);
  double wall = measure.WallMs();
  double cpu = measure.CpuMs();
  int sent = 0;
  for (const CListItem& item : engine.m_items) sent += item.m_state == Sent;
  // The floor: a 200 ms pause between two pieces of 32 bytes of PDU text and Ctrl-Z.
  size_t pduBytes = sim.Submissions().empty() ? 0 : sim.Submissions()[0].pdu.size() + 1;
  double floorPerMessage = 200.0 * static_cast<double>((pduBytes + 31) / 32 - 1);
  double perMessage = wall / kNumbers;
  std::printf("delivery of %d numbers: %d sent, wall %.0f ms, %.1f ms per message, pacing floor "
              "%.0f ms, own time %.1f ms per message, cpu %.0f ms (%.2f %% of wall)\n",
              kNumbers, sent, wall, perMessage, floorPerMessage, perMessage - floorPerMessage, cpu,
              100.0 * cpu / wall);
  return 0;
}
