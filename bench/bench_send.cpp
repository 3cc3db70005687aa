// One message through the simulated modem (no modem delay): wall time against
// the floor that the pacing sets (a 200 ms pause between two pieces of 32
// bytes of PDU text and Ctrl-Z), and processor time; and a refused one.
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
  double floor = 200.0 * static_cast<double>((pduBytes + 31) / 32 - 1);
  std::printf("%s: reference %d, %zu bytes of PDU text with Ctrl-Z, capture %.0f ms, send wall "
              "%.0f ms, pacing floor %.0f ms (+%.1f %%), cpu %.1f ms (%.2f %% of wall)\n",
              label, reference, pduBytes, handshakeMs, wall, floor, 100.0 * (wall - floor) / floor,
              cpu, 100.0 * cpu / wall);
}

// A submission refused 50 ms after Ctrl-Z: how long after the refusal arrives
// SendSMS gives up. Ctrl-Z goes out with the last piece, after the pauses
// between the pieces; what the send takes beyond those pauses and the 50 ms
// is the time from the refusal to the end (and a little of the dialogue's).
void RefuseOne() {
  constexpr double kRefusalDelayMs = 50.0;
  testing_support::SimProcess sim(kPort, {"--submit", "1:cms:38", "--submit", "1:delay:50"});
  CModem modem;
  int ready = 0;
  modem.CaptureModemDevice(ready, kPort);
  if (!sim.Started() || !ready) {
    std::printf("refusal: the simulated modem did not answer\n");
    return;
  }
  CSendResult result;
  CMeasure measure;
  int reference = modem.SendSMS("+79001234567", std::string(160, 'a').c_str(), &result);
  double wall = measure.WallMs();
  modem.ReleaseModemDevice();
  size_t pduBytes = sim.Submissions().empty() ? 0 : sim.Submissions()[0].pdu.size() + 1;
  double pauses = 200.0 * static_cast<double>((pduBytes + 31) / 32 - 1);
  std::printf("refused submission (%s, 50 ms after Ctrl-Z): reference %d, send wall %.0f ms, "
              "pauses between pieces %.0f ms, ended %.1f ms after the refusal arrived (target "
              "under 100 ms)\n",
              result.cause.c_str(), reference, wall, pauses, wall - pauses - kRefusalDelayMs);
}

}  // namespace

int main() {
  testing_support::TempDir dir;
  dir.UseAsProgramFolder();
  SendOne("160 Latin characters (7-bit)", std::string(160, 'a'));
  std::string cyrillic;
  for (int i = 0; i < 70; ++i) cyrillic += static_cast<char>(0xC0 + i % 64);
  SendOne("70 Cyrillic characters (UCS2)", cyrillic);
  RefuseOne();
  return 0;
}
