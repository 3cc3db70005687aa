// One message through the simulated modem (no modem delay): wall time against
// the floor that the pacing sets (a 200 ms pause per 32 bytes of PDU text and
// Ctrl-Z), and processor time.
#include <cstdio>
#include <string>

#include "Measure.h"
#include "modem/Modem.h"
#include "modem/Pdu.h"
#include "support/SimProcess.h"
#include "support/TempDir.h"

namespace {

constexpr int kPort = 32;

void SendOne(const char* label, const std::string& text) {
  testing_support::SimProcess sim(kPort);
  CModem modem;
  int ready = 0;
  CMeasure handshake;
  modem.CaptureModemDevice(ready, kPort);
  double handshakeMs = handshake.WallMs();
  if (!sim.Started() || !ready) {
    std::printf("%s: the simulated modem did not answer\n", label);
    return;
  }
  CMeasure measure;
  int reference = modem.SendSMS("+79001234567", text.c_str());
  double wall = measure.WallMs();
  double cpu = measure.CpuMs();
  modem.ReleaseModemDevice();
  size_t pduBytes = sim.Submissions().empty() ? 0 : sim.Submissions()[0].pdu.size() + 1;
  double floor = 200.0 * static_cast<double>((pduBytes + 31) / 32);
  std::printf("%s: reference %d, %zu bytes of PDU text with Ctrl-Z, capture %.0f ms, send wall "
              "%.0f ms, pacing floor %.0f ms (+%.1f %%), cpu %.1f ms (%.2f %% of wall)\n",
              label, reference, pduBytes, handshakeMs, wall, floor, 100.0 * (wall - floor) / floor,
              cpu, 100.0 * cpu / wall);
}

}  // namespace

int main() {
  testing_support::TempDir dir;
  dir.UseAsProgramFolder();
  SendOne("160 Latin characters (7-bit)", std::string(160, 'a'));
  std::string cyrillic;
  for (int i = 0; i < 70; ++i) cyrillic += static_cast<char>(0xC0 + i % 64);
  SendOne("70 Cyrillic characters (UCS2)", cyrillic);
  return 0;
}
