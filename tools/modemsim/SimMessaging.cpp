#include "tools/modemsim/SimMessaging.h"

#include <algorithm>
#include <ctime>

#include "tools/modemsim/SimPduWriter.h"
#include "tools/modemsim/SimScript.h"
#include "tools/modemsim/SimSubmitReader.h"

namespace modemsim {
namespace {

using Clock = std::chrono::steady_clock;

constexpr char kOk[] = "\r\nOK\r\n";
constexpr char kError[] = "\r\nERROR\r\n";
constexpr char kNotAllowed[] = "\r\n+CMS ERROR: 302\r\n";
constexpr char kNotSupported[] = "\r\n+CMS ERROR: 303\r\n";
constexpr char kInvalidPduParameter[] = "\r\n+CMS ERROR: 304\r\n";
constexpr char kInvalidIndex[] = "\r\n+CMS ERROR: 321\r\n";
constexpr char kMemoryFull[] = "+CMS ERROR: 322";
constexpr int kDs = 3;  // the place of <ds> among the AT+CNMI values
constexpr int kMt = 1;
constexpr int kMaxStat = 4;

// What AT+CNMI takes: <mode>, <mt>, <bm>, <ds> (by the routings offered),
// <bfr>, each as the highest value and the AT+CNMI=? text.
struct IndicationRange {
  int highest;
  const char* text;
};

constexpr IndicationRange kRanges[] = {
    {2, "(0-2)"}, {3, "(0-3)"}, {3, "(0-3)"}, {2, "(0-2)"}, {1, "(0,1)"}};

struct RoutingValues {
  ReportRouting routing;
  const char* text;
  bool straight;
  bool stored;
};

constexpr RoutingValues kReportValues[] = {
    {ReportRouting::Both, "(0-2)", true, true},
    {ReportRouting::Straight, "(0,1)", true, false},
    {ReportRouting::Stored, "(0,2)", false, true},
    {ReportRouting::None, "(0)", false, false},
};

const RoutingValues& ValuesOf(ReportRouting routing) {
  for (const RoutingValues& values : kReportValues) {
    if (values.routing == routing) return values;
  }
  return kReportValues[0];
}

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> fields;
  std::size_t at = 0;
  for (std::size_t comma; (comma = text.find(',', at)) != std::string::npos; at = comma + 1) {
    fields.push_back(text.substr(at, comma - at));
  }
  fields.push_back(text.substr(at));
  return fields;
}

std::string Unquoted(const std::string& text) {
  const bool quoted = text.size() >= 2 && text.front() == '"' && text.back() == '"';
  return quoted ? text.substr(1, text.size() - 2) : text;
}

std::string Information(const std::string& line) { return "\r\n" + line + "\r\n" + kOk; }

}  // namespace

CSimMessaging::CSimMessaging(const CMessagingOptions& options, CSubmissionRecord& record)
    : m_options(options),
      m_record(record),
      m_messages("SM", options.m_memorySize, record),
      m_reports("SR", options.m_memorySize, record),
      m_readMemory(&m_messages),
      m_random(1) {
  const std::time_t now = std::time(nullptr);
  for (const StoredReport& report : options.m_storedReports) {
    ReportMemory().Store(StoredKind::Report,
                         StatusReportPdu(options.m_centre, report.reference, report.recipient,
                                         now - 120, now - 60, report.status));
  }
  for (const IncomingMessage& message : options.m_storedMessages) {
    for (const std::string& pdu : DeliverPdus(options.m_centre, message.sender, message.text,
                                              ++m_concatenation, now - 60)) {
      m_messages.Store(StoredKind::Message, pdu);
    }
  }
  const auto start = Clock::now();
  for (const IncomingMessage& message : options.m_incoming) {
    const std::time_t sent = now + message.afterMs / 1000;
    for (const std::string& pdu : DeliverPdus(options.m_centre, message.sender, message.text,
                                              ++m_concatenation, sent)) {
      Schedule({start + std::chrono::milliseconds(message.afterMs), StoredKind::Message, pdu});
    }
  }
}

bool CSimMessaging::StoresReports() const { return ValuesOf(m_options.m_routing).stored; }

CSimStore& CSimMessaging::ReportMemory() {
  return m_options.m_reportMemory == "SR" ? m_reports : m_messages;
}

CSimStore* CSimMessaging::MemoryNamed(const std::string& name) {
  if (name == "SM") return &m_messages;
  if (name == "SR" && m_options.m_reportMemory == "SR") return &m_reports;
  return nullptr;
}

std::string CSimMessaging::Counts(const CSimStore& memory) const {
  return std::to_string(memory.Used()) + "," + std::to_string(memory.Size());
}

std::string CSimMessaging::Indications(const std::string& argument) {
  const RoutingValues& reports = ValuesOf(m_options.m_routing);
  if (argument == "=?") {
    std::string ranges;
    for (int i = 0; i < 5; ++i) {
      ranges += std::string(i > 0 ? "," : "") + (i == kDs ? reports.text : kRanges[i].text);
    }
    return Information("+CNMI: " + ranges);
  }
  if (argument == "?") {
    std::string values;
    for (int i = 0; i < 5; ++i) values += (i > 0 ? "," : "") + std::to_string(m_indications[i]);
    return Information("+CNMI: " + values);
  }
  if (argument.empty() || argument[0] != '=') return kError;
  const std::vector<std::string> fields = SplitCommas(argument.substr(1));
  if (fields.size() > 5) return kError;
  int values[5];
  std::copy(m_indications, m_indications + 5, values);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].empty()) continue;  // left as it is
    if (!ParseCount(fields[i], values[i])) return kError;
    if (values[i] > kRanges[i].highest) return kNotSupported;
  }
  // A modem without a report routing refuses the value that asks for it.
  if ((values[kDs] == 1 && !reports.straight) || (values[kDs] == 2 && !reports.stored)) {
    return kNotSupported;
  }
  std::copy(values, values + 5, m_indications);
  return kOk;
}

std::string CSimMessaging::Storage(const std::string& argument) {
  if (argument == "=?") {
    return Information(m_options.m_reportMemory == "SR" ? "+CPMS: (\"SM\",\"SR\"),(\"SM\"),(\"SM\")"
                                                        : "+CPMS: (\"SM\"),(\"SM\"),(\"SM\")");
  }
  const std::string messages = Counts(m_messages);
  if (argument == "?") {
    return Information("+CPMS: \"" + m_readMemory->Name() + "\"," + Counts(*m_readMemory) +
                       ",\"SM\"," + messages + ",\"SM\"," + messages);
  }
  if (argument.size() < 2 || argument[0] != '=') return kError;
  const std::vector<std::string> names = SplitCommas(argument.substr(1));
  CSimStore* read = MemoryNamed(Unquoted(names[0]));
  if (names.size() > 3 || read == nullptr) return kNotAllowed;
  for (std::size_t i = 1; i < names.size(); ++i) {
    if (Unquoted(names[i]) != "SM") return kNotAllowed;  // writing and receiving: the SIM only
  }
  m_readMemory = read;
  return Information("+CPMS: " + Counts(*read) + "," + messages + "," + messages);
}

std::string CSimMessaging::List(const std::string& argument) {
  if (argument == "=?") return Information("+CMGL: (0-4)");
  int stat = 0;  // without a value: the received unread ones
  if (!argument.empty() && (argument[0] != '=' || !ParseCount(argument.substr(1), stat))) {
    return kInvalidPduParameter;
  }
  if (stat > kMaxStat) return kInvalidPduParameter;
  return m_readMemory->List(stat) + kOk;
}

std::string CSimMessaging::Read(const std::string& argument) {
  int index = 0;
  if (argument.size() < 2 || argument[0] != '=' || !ParseCount(argument.substr(1), index)) {
    return kError;
  }
  std::string lines;
  if (!m_readMemory->Read(index, lines)) return kInvalidIndex;
  return lines + kOk;
}

std::string CSimMessaging::Delete(const std::string& argument) {
  if (argument == "=?") {
    return Information("+CMGD: (1-" + std::to_string(m_readMemory->Size()) + "),(0-4)");
  }
  const std::vector<std::string> fields =
      SplitCommas(argument.size() > 1 ? argument.substr(1) : std::string());
  int index = 0;
  int flag = 0;
  if (argument.empty() || argument[0] != '=' || fields.size() > 2 ||
      !ParseCount(fields[0], index) || (fields.size() == 2 && !ParseCount(fields[1], flag))) {
    return kError;
  }
  if (!m_readMemory->Delete(index, flag)) return kInvalidIndex;
  // A freed place lets in what was held back.
  for (Arrival& held : m_held) {
    held.at = Clock::now();
    Schedule(held);
  }
  m_held.clear();
  return kOk;
}

std::string CSimMessaging::Refusal(const std::string& pdu) const {
  SubmitFields fields;
  const CSimStore& memory = m_options.m_reportMemory == "SR" ? m_reports : m_messages;
  const bool toBeStored = m_indications[kDs] == 2 && StoresReports();
  if (ReadSubmission(pdu, fields) && fields.statusReport && toBeStored && memory.Full()) {
    return kMemoryFull;
  }
  return std::string();
}

void CSimMessaging::Submitted(int submission, const std::string& pdu, int reference) {
  SubmitFields fields;
  if (!ReadSubmission(pdu, fields) || !fields.statusReport) return;
  const auto status = m_options.m_reportStatus.find(submission);
  const int delayMs = std::uniform_int_distribution<int>(m_options.m_reportMinMs,
                                                         m_options.m_reportMaxMs)(m_random);
  const std::time_t now = std::time(nullptr);
  const std::string report =
      StatusReportPdu(m_options.m_centre, reference, fields.destination, now, now + delayMs / 1000,
                      status == m_options.m_reportStatus.end() ? 0x00 : status->second);
  Schedule({Clock::now() + std::chrono::milliseconds(delayMs), StoredKind::Report, report});
}

void CSimMessaging::Schedule(const Arrival& arrival) {
  const auto later = std::upper_bound(
      m_arrivals.begin(), m_arrivals.end(), arrival.at,
      [](Clock::time_point at, const Arrival& other) { return at < other.at; });
  m_arrivals.insert(later, arrival);
}

std::string CSimMessaging::Due() {
  std::string lines;
  const auto now = Clock::now();
  std::size_t due = 0;
  while (due < m_arrivals.size() && m_arrivals[due].at <= now) lines += Route(m_arrivals[due++]);
  m_arrivals.erase(m_arrivals.begin(), m_arrivals.begin() + static_cast<std::ptrdiff_t>(due));
  return lines;
}

std::string CSimMessaging::Route(const Arrival& arrival) {
  const std::string length = std::to_string(TpduOctets(arrival.pdu));
  const bool report = arrival.kind == StoredKind::Report;
  const char* kind = report ? "report" : "message";
  const int mode = m_indications[report ? kDs : kMt];
  if (mode == 2 && !report) {
    m_record.AppendEvent("routed", "-", 0, kind, arrival.pdu);
    return "\r\n+CMT: ," + length + "\r\n" + arrival.pdu + "\r\n";
  }
  if (mode == 1 && report) {
    m_record.AppendEvent("routed", "-", 0, kind, arrival.pdu);
    return "\r\n+CDS: " + length + "\r\n" + arrival.pdu + "\r\n";
  }
  if (report && !StoresReports()) {
    m_record.AppendEvent("lost", "-", 0, kind, arrival.pdu);
    return std::string();
  }
  // Stored: with a notice for <mt> 1 and 3 and <ds> 2, silently for 0.
  return Keep(arrival, report ? ReportMemory() : m_messages, report ? mode == 2 : mode != 0);
}

std::string CSimMessaging::Keep(const Arrival& arrival, CSimStore& memory, bool notice) {
  const int index = memory.Store(arrival.kind, arrival.pdu);
  if (index == 0) {
    m_record.AppendEvent("held", "-", 0, arrival.kind == StoredKind::Report ? "report" : "message",
                         arrival.pdu);
    m_held.push_back(arrival);
    return std::string();
  }
  if (!notice) return std::string();
  const char* prefix = arrival.kind == StoredKind::Report ? "+CDSI: \"" : "+CMTI: \"";
  return "\r\n" + std::string(prefix) + memory.Name() + "\"," + std::to_string(index) + "\r\n";
}

}  // namespace modemsim
