#pragma once
// The simulator's options for what comes back after a submission: status
// reports (their routing, delay and status) and incoming messages, and the
// message memory that holds both.
#include <map>
#include <string>
#include <vector>

namespace modemsim {

// Which status-report routings of AT+CNMI (<ds>) the modem offers: 1 sends
// a report straight to the line (+CDS), 2 stores it with a notice (+CDSI).
enum class ReportRouting { Both, Straight, Stored, None };

struct IncomingMessage {
  int afterMs = 0;  // after the simulator's start
  std::string sender;  // "+digits" international, digits, or letters (alphanumeric)
  std::u16string text;
};

struct StoredReport {
  int reference = 0;
  std::string recipient;  // "+digits"
  int status = 0;
};

class CMessagingOptions {
 public:
  // One option by its name ("--reports"); false for a bad value.
  bool Set(const std::string& name, const std::string& value);
  static std::string HelpText();

  ReportRouting m_routing = ReportRouting::Both;
  std::string m_reportMemory = "SM";  // "SR": reports kept apart from messages
  int m_memorySize = 20;              // places in each memory
  int m_reportMinMs = 1000;           // a report comes this long to
  int m_reportMaxMs = 3000;           // this long after the +CMGS answer
  std::map<int, int> m_reportStatus;  // by submission (from 1); 0x00 otherwise
  std::vector<IncomingMessage> m_incoming;
  std::vector<StoredReport> m_storedReports;      // in memory at the start, unread
  std::vector<IncomingMessage> m_storedMessages;  // in memory at the start, unread
  std::string m_centre = "+79990000100";  // the service centre of what it hands over
};

}  // namespace modemsim
