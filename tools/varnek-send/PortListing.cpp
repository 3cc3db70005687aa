#include "tools/varnek-send/PortListing.h"

#include <algorithm>
#include <string>

#include "modem/Modem.h"
#include "modem/PortSearch.h"
#include "platform/CodePage.h"
#include "platform/CommandLine.h"
#include "platform/PortList.h"
#include "platform/SerialDevice.h"
#include "tools/varnek-send/PortCheck.h"
#include "tools/varnek-send/SendReport.h"

namespace {

constexpr size_t kDescriptionRoom = 256;
constexpr char kRowFormat[] = "%-7s %-24s %-16s %s\n";

std::string Description(int port) {
  std::string description;
  if (!platform::PortDescription(port, kDescriptionRoom, description)) return "-";
  return platform::Cp1251ToUtf8(description);
}

}  // namespace

int ListPorts(int baudRate, const std::vector<int>& extraPorts, std::FILE* out, std::FILE* progress) {
  std::vector<int> ports = CModem::ListComPorts();
  ports.insert(ports.end(), extraPorts.begin(), extraPorts.end());
  if (ports.empty()) {
    std::fprintf(out, "no serial ports found\n");
    return send_report::kNotDelivered;
  }
  const std::vector<CPortFinding> findings = SearchPorts(ports, baudRate, PrintTries(progress));
  std::fprintf(out, kRowFormat, "PORT", "DEVICE", "DRIVER", "ANSWER");
  bool any = false;
  for (const CPortFinding& finding : findings) {
    const std::string com = "COM" + std::to_string(finding.m_port);
    const std::string device = platform::PathToUtf8(platform::ComDevicePath(finding.m_port));
    std::fprintf(out, kRowFormat, com.c_str(), device.c_str(), Description(finding.m_port).c_str(),
                 FindingText(finding).c_str());
    any = any || finding.m_answer == PortAnswer::Modem;
  }
  std::fflush(out);
  return any ? send_report::kAllDelivered : send_report::kNotDelivered;
}
