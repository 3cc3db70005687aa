// Deliveries with pause 0 through the simulated modem (no modem delay):
// per-message wall time of a 160-character message paced at the window's
// 200 ms per piece and sent in one write (piece pause 0), the program's own
// time per message beyond the pacing floor, and its processor time against
// the wall time.
#include <cstdio>
#include <string>

#include "Measure.h"
#include "engine/Engine.h"
#include "support/SimProcess.h"
#include "support/TempDir.h"

namespace {

constexpr int kPort = 33;

struct Delivery {
  int numbers;
  int sent;
  double wallMs;
  double cpuMs;
  size_t pduBytes;  // of one message, Ctrl-Z included
};

Delivery Deliver(uint32_t piecePause, int numbers, const std::string& message) {
  testing_support::SimProcess sim(kPort);
  Delivery result{numbers, 0, 0, 0, 0};
  if (!sim.Started()) return result;
  CEngine engine;
  engine.m_port = kPort;
  engine.m_piecePause = piecePause;
  engine.m_message = message;
  for (int i = 0; i < numbers; ++i) {
    engine.AddItem(CListItem{"7900" + std::to_string(1000000 + i), Accepted, ""});
  }
  CMeasure measure;
  engine.StartDelivery();
  engine.WaitForWorker(UINT32_MAX);
  result.wallMs = measure.WallMs();
  result.cpuMs = measure.CpuMs();
  for (const CListItem& item : engine.m_items) result.sent += item.m_state == Sent;
  if (!sim.Submissions().empty()) result.pduBytes = sim.Submissions()[0].pdu.size() + 1;
  engine.Teardown(SettingsAtTeardown::Keep);
  return result;
}

void Print(uint32_t piecePause, const Delivery& d) {
  // The floor: the pauses between two pieces of 32 bytes of PDU text.
  const size_t pieces = (d.pduBytes + 31) / 32;
  const double floor = piecePause * static_cast<double>(pieces > 0 ? pieces - 1 : 0);
  const double perMessage = d.wallMs / d.numbers;
  std::printf(
      "piece pause %3u ms: %d numbers, %d sent, %zu bytes of PDU text each: %.1f ms per "
      "message, pacing floor %.0f ms, own time %.1f ms per message, cpu %.0f ms (%.2f %% "
      "of wall)\n",
      piecePause, d.numbers, d.sent, d.pduBytes, perMessage, floor, perMessage - floor, d.cpuMs,
      100.0 * d.cpuMs / d.wallMs);
}

}  // namespace

int main() {
  testing_support::TempDir dir;
  dir.UseAsProgramFolder();
  const std::string message(160, 'x');  // one full 7-bit message
  // Paced, every message takes about two seconds: fewer of them.
  Print(200, Deliver(200, 20, message));
  Print(0, Deliver(0, 200, message));
  return 0;
}
