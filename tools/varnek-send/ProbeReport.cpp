#include "tools/varnek-send/ProbeReport.h"

#include <algorithm>

#include "modem/Modem.h"
#include "modem/ModemProbe.h"
#include "modem/PortSearch.h"
#include "tools/varnek-send/PortCheck.h"
#include "tools/varnek-send/SendReport.h"

namespace {

// Each query's answer; a modem takes well under a second.
constexpr uint32_t kQueryLimitMs = 5000;

struct Verdict {
  PortAnswer answer;
  const char* text;
};

// Why a port the search found no modem on cannot send.
constexpr Verdict kNoModem[] = {
    {PortAnswer::Silent, "the modem does not answer AT"},
    {PortAnswer::Garbage,
     "no modem answers: the port sends bytes that are no answer at every common speed"},
    {PortAnswer::Refused, "the modem refuses AT (ERROR)"},
    {PortAnswer::CannotOpen, "the port cannot be opened"},
    {PortAnswer::Stopped, "the modem does not answer AT"},
};

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

// The capture and the questions at the speed the modem answered at.
probe::Report AskFoundModem(const CPortFinding& finding) {
  CModem modem;
  modem.SetBaudRate(finding.m_baudRate);
  int ready = 0;
  modem.CaptureModemDevice(ready, finding.m_port);
  probe::Report report;
  // A modem that answered the search may still fail the capture (no mode
  // it takes): the capture says why.
  report.verdict = modem.FailureReason().empty() ? kNoModem[0].text : modem.FailureReason();
  if (ready != 0) report = probe::JudgeProbe(probe::AskModem(modem, kQueryLimitMs));
  modem.ReleaseModemDevice();
  return report;
}

int ReportPort(const CPortFinding& finding, int baudRate, std::FILE* out) {
  const bool modem = finding.m_answer == PortAnswer::Modem;
  PrintLine(out, "port", PortName(finding.m_port) + ", " + SpeedName(modem ? finding.m_baudRate : baudRate));
  if (modem && finding.m_baudRate != baudRate)
    PrintLine(out, "speed", "the modem answers at " + SpeedName(finding.m_baudRate) + ", not at " + SpeedName(baudRate));
  probe::Report report;
  if (modem) {
    report = AskFoundModem(finding);
    for (const probe::Finding& line : report.findings) PrintLine(out, line.what, Printable(line.shown));
  } else {
    for (const Verdict& verdict : kNoModem) {
      if (verdict.answer == finding.m_answer) report.verdict = verdict.text;
    }
  }
  PrintLine(out, "verdict", report.verdict);
  std::fflush(out);
  return report.ready ? send_report::kAllDelivered : send_report::kNotDelivered;
}

}  // namespace

int ProbePorts(const std::vector<int>& ports, int baudRate, std::FILE* out, std::FILE* progress,
               std::vector<std::string>& errors) {
  int status = send_report::kAllDelivered;
  std::vector<int> openable;
  for (int port : ports) {
    std::string error;
    if (CheckPort(port, baudRate, error)) {
      openable.push_back(port);
    } else {
      errors.push_back(error);
      status = send_report::kBadUsage;
    }
  }
  const std::vector<CPortFinding> findings = SearchPorts(openable, baudRate, PrintTries(progress));
  for (size_t i = 0; i < findings.size(); ++i) {
    if (i > 0) std::fputc('\n', out);
    status = std::max(status, ReportPort(findings[i], baudRate, out));
  }
  return status;
}
