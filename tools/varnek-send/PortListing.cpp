#include "tools/varnek-send/PortListing.h"

#include <algorithm>
#include <functional>
#include <string>
#include <system_error>
#include <thread>

#include "modem/Modem.h"
#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/PortList.h"
#include "platform/SerialDevice.h"
#include "tools/varnek-send/SendReport.h"

namespace {

constexpr size_t kDescriptionRoom = 256;

struct PortFinding {
  int port = 0;
  bool answers = false;
  std::string outcome;
};

// Opens the port and asks "at", as the modem search does.
void TryPort(int baudRate, PortFinding& finding) {
  CModem modem;
  modem.SetBaudRate(baudRate);
  if (!modem.Open(finding.port)) {
    finding.outcome = "cannot be opened: " + modem.FailureReason();
    modem.Close();
    return;
  }
  finding.answers = modem.InitModem() != 0;
  finding.outcome = finding.answers ? "answers as a modem" : "no answer to AT";
  modem.Close();
}

std::string Description(int port) {
  std::string description;
  if (!platform::PortDescription(port, kDescriptionRoom, description)) return "-";
  return platform::Cp1251ToUtf8(description);
}

}  // namespace

int ListPorts(int baudRate, const std::vector<int>& extraPorts, std::FILE* out) {
  // A port the system lists twice is tried once: a second open would fail.
  std::vector<int> ports;
  std::vector<int> candidates = CModem::ListComPorts();
  candidates.insert(candidates.end(), extraPorts.begin(), extraPorts.end());
  for (int port : candidates) {
    if (std::find(ports.begin(), ports.end(), port) == ports.end()) ports.push_back(port);
  }
  if (ports.empty()) {
    std::fprintf(out, "no serial ports found\n");
    return send_report::kNotDelivered;
  }
  std::vector<PortFinding> findings(ports.size());
  std::vector<std::thread> tries;
  for (size_t i = 0; i < ports.size(); ++i) {
    findings[i].port = ports[i];
    try {
      tries.emplace_back(TryPort, baudRate, std::ref(findings[i]));
    } catch (const std::system_error&) {
      TryPort(baudRate, findings[i]);  // no thread to be had: this one waits its turn
    }
  }
  for (std::thread& t : tries) t.join();
  bool any = false;
  for (const PortFinding& finding : findings) {
    const std::string device = platform::PathToUtf8(platform::ComDevicePath(finding.port));
    std::fprintf(out, "COM%-4d %-24s %-16s %s\n", finding.port, device.c_str(),
                 Description(finding.port).c_str(), finding.outcome.c_str());
    any = any || finding.answers;
  }
  std::fflush(out);
  return any ? send_report::kAllDelivered : send_report::kNotDelivered;
}
