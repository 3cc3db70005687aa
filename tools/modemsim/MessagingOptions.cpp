#include "tools/modemsim/MessagingOptions.h"

#include <cstdlib>

#include "modem/GsmAlphabet.h"
#include "platform/CodePage.h"
#include "tools/modemsim/SimScript.h"

namespace modemsim {
namespace {

constexpr int kMaxMemory = 255;
constexpr std::size_t kMaxAlphanumericSeptets = 11;  // 20 semi-octets of address

struct RoutingName {
  const char* name;
  ReportRouting routing;
};

constexpr RoutingName kRoutings[] = {
    {"both", ReportRouting::Both},
    {"straight", ReportRouting::Straight},
    {"stored", ReportRouting::Stored},
    {"none", ReportRouting::None},
};

// Splits "A:B:REST" at its first count colons (REST may hold more).
bool SplitColons(const std::string& value, std::size_t count, std::vector<std::string>& fields) {
  fields.clear();
  std::size_t at = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t colon = value.find(':', at);
    if (colon == std::string::npos) return false;
    fields.push_back(value.substr(at, colon - at));
    at = colon + 1;
  }
  fields.push_back(value.substr(at));
  return true;
}

bool ParseHexOctet(const std::string& text, int& value) {
  if (text.empty() || text.size() > 2) return false;
  char* end = nullptr;
  const long parsed = std::strtol(text.c_str(), &end, 16);
  if (*end != '\0' || text[0] == '-' || text[0] == '+') return false;
  value = static_cast<int>(parsed);
  return true;
}

// A sender the simulator can write as TP-OA: "+" and 1..20 digits, 1..20
// digits, or up to 11 characters of the GSM default alphabet.
bool ValidSender(const std::string& sender) {
  const std::string digits = !sender.empty() && sender[0] == '+' ? sender.substr(1) : sender;
  if (!digits.empty() && digits.size() <= 20 &&
      digits.find_first_not_of("0123456789") == std::string::npos) {
    return true;
  }
  std::vector<unsigned char> septets;
  return !sender.empty() && pdu::GsmSeptetsOfText(platform::Utf8ToUtf16(sender), septets) &&
         septets.size() <= kMaxAlphanumericSeptets;
}

bool ParseMessage(const std::string& value, bool timed, IncomingMessage& message) {
  std::vector<std::string> fields;
  if (!SplitColons(value, timed ? 2 : 1, fields)) return false;
  if (timed && !ParseCount(fields[0], message.afterMs)) return false;
  message.sender = fields[fields.size() - 2];
  message.text = platform::Utf8ToUtf16(fields.back());
  return ValidSender(message.sender) && platform::IsValidUtf8(fields.back());
}

bool ParseStoredReport(const std::string& value, StoredReport& report) {
  std::vector<std::string> fields;
  if (!SplitColons(value, 2, fields)) return false;
  report.recipient = fields[1];
  return ParseCount(fields[0], report.reference) && report.reference <= 255 &&
         !report.recipient.empty() && report.recipient[0] == '+' && ValidSender(report.recipient) &&
         ParseHexOctet(fields[2], report.status);
}

bool ParseRange(const std::string& value, int& low, int& high) {
  std::vector<std::string> fields;
  return SplitColons(value, 1, fields) && ParseCount(fields[0], low) &&
         ParseCount(fields[1], high) && low <= high;
}

}  // namespace

bool CMessagingOptions::Set(const std::string& name, const std::string& value) {
  std::vector<std::string> fields;
  if (name == "--reports") {
    for (const RoutingName& r : kRoutings) {
      if (value != r.name) continue;
      m_routing = r.routing;
      return true;
    }
    return false;
  }
  if (name == "--report-memory") {
    m_reportMemory = value;
    return value == "SM" || value == "SR";
  }
  if (name == "--memory") {
    return ParseCount(value, m_memorySize) && m_memorySize >= 1 && m_memorySize <= kMaxMemory;
  }
  if (name == "--report-delay") return ParseRange(value, m_reportMinMs, m_reportMaxMs);
  if (name == "--report-status") {
    int submission = 0;
    int status = 0;
    if (!SplitColons(value, 1, fields) || !ParseCount(fields[0], submission) || submission < 1 ||
        !ParseHexOctet(fields[1], status)) {
      return false;
    }
    m_reportStatus[submission] = status;
    return true;
  }
  if (name == "--incoming" || name == "--stored-message") {
    IncomingMessage message;
    if (!ParseMessage(value, name == "--incoming", message)) return false;
    (name == "--incoming" ? m_incoming : m_storedMessages).push_back(message);
    return true;
  }
  if (name == "--stored-report") {
    StoredReport report;
    if (!ParseStoredReport(value, report)) return false;
    m_storedReports.push_back(report);
    return true;
  }
  return false;
}

std::string CMessagingOptions::HelpText() {
  return "Reports and incoming messages (AT+CNMI, AT+CPMS, AT+CMGL, AT+CMGR, AT+CMGD):\n"
         "  --reports both|straight|stored|none  report routings offered by AT+CNMI\n"
         "                         (<ds> 1: +CDS on the line, 2: stored with +CDSI) (both)\n"
         "  --report-memory SM|SR  where stored reports go; SR keeps them apart (SM)\n"
         "  --memory N             places in each memory (20); a full one answers\n"
         "                         +CMS ERROR: 322 to a submission whose report it could\n"
         "                         not store, and holds back what arrives until a place\n"
         "                         is free\n"
         "  --report-delay MIN:MAX a report MIN to MAX ms after the +CMGS answer (1000:3000)\n"
         "  --report-status K:HEX  TP-ST of submission K's report (00: received)\n"
         "  --incoming MS:SENDER:TEXT  a message (UTF-8; long ones in parts) MS ms after\n"
         "                         the start; SENDER +digits, digits or letters\n"
         "  --stored-message SENDER:TEXT  a message in memory at the start\n"
         "  --stored-report REF:+NUMBER:HEX  a report in memory at the start\n";
}

}  // namespace modemsim
