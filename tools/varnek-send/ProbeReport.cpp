#include "tools/varnek-send/ProbeReport.h"

#include "modem/Modem.h"
#include "modem/ModemProbe.h"
#include "tools/varnek-send/PortCheck.h"
#include "tools/varnek-send/SendReport.h"

namespace {

// Each query's answer; a modem takes well under a second.
constexpr uint32_t kQueryLimitMs = 5000;
constexpr char kNoAnswer[] = "the modem does not answer AT";

void PrintLine(std::FILE* out, const char* what, const std::string& shown) {
  std::fprintf(out, "%-15s %s\n", what, shown.c_str());
}

// The modem's words may hold anything, terminal control sequences too: only
// printable ASCII reaches the console.
std::string Printable(std::string text) {
  for (char& c : text) {
    if (c < ' ' || c > '~') c = '?';
  }
  return text;
}

std::string Speed(int baudRate) {
  return baudRate == 0 ? "the port's own speed" : std::to_string(baudRate) + " bit/s";
}

}  // namespace

int ProbePort(int port, int baudRate, std::FILE* out, std::string& error) {
  if (!CheckPort(port, baudRate, error)) return send_report::kBadUsage;
  CModem modem;
  modem.SetBaudRate(baudRate);
  int ready = 0;
  modem.CaptureModemDevice(ready, port);
  probe::Report report;
  report.verdict = kNoAnswer;
  if (ready != 0) report = probe::JudgeProbe(probe::AskModem(modem, kQueryLimitMs));
  modem.ReleaseModemDevice();

  PrintLine(out, "port", PortName(port) + ", " + Speed(baudRate));
  if (ready != 0) {
    for (const probe::Finding& finding : report.findings)
      PrintLine(out, finding.what, Printable(finding.shown));
  }
  PrintLine(out, "verdict", report.verdict);
  std::fflush(out);
  return report.ready ? send_report::kAllDelivered : send_report::kNotDelivered;
}
