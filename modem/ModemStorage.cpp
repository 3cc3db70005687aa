// What the modem keeps and announces after a message leaves: status reports
// and incoming messages (3GPP TS 27.005 3.1, 3.4).
#include <string>
#include <vector>

#include "modem/Log.h"
#include "modem/ModemDialogue.h"
#include "modem/SmsLines.h"
#include "platform/Clock.h"

namespace {

using dialogue::kReplyLimitMs;

// <mode> 2 buffers notices while the line is busy; 1 where a modem lacks it.
// <mt> 1 stores incoming messages with +CMTI; <ds> 2 stores reports with
// +CDSI, 1 shows them at once with +CDS.
struct Routing {
  const char* command;
  CModem::ReportRouting routing;
};
constexpr Routing kRoutings[] = {
    {"AT+CNMI=2,1,0,2,0", CModem::ReportRouting::Stored},
    {"AT+CNMI=1,1,0,2,0", CModem::ReportRouting::Stored},
    {"AT+CNMI=2,1,0,1,0", CModem::ReportRouting::Straight},
    {"AT+CNMI=1,1,0,1,0", CModem::ReportRouting::Straight},
};

// Reports may be kept apart from messages, in "SR", where a modem offers it.
constexpr const char* kMemories[] = {"SM", "SR"};
constexpr int kListAll = 4;  // AT+CMGL stat: every entry, read or not

}  // namespace

CModem::ReportRouting CModem::RouteReports() {
  for (const Routing& routing : kRoutings) {
    if (Command(routing.command, reply::AnswerRule(), kReplyLimitMs).final.kind == reply::Final::Ok) {
      return routing.routing;
    }
  }
  GetLog().Write("engine", "RouteReports", 0, "no report routing: reports are not read");
  return ReportRouting::Refused;
}

// The memories of "+CPMS: ("SM","ME","SR"),(...),(...)" that reports or
// messages may be read from, of the ones this program reads.
std::vector<std::string> CModem::StorageMemories() {
  reply::AnswerRule rule;
  rule.prefixes = {"+CPMS:"};
  const reply::Answer answer = Command("AT+CPMS=?", rule, kReplyLimitMs);
  std::vector<std::string> memories;
  const std::string offered = answer.lines.empty() ? "(\"SM\")" : answer.lines[0];
  const std::string first = offered.substr(0, offered.find(')'));
  for (const char* memory : kMemories) {
    if (first.find(std::string("\"") + memory + "\"") != std::string::npos) {
      memories.push_back(memory);
    }
  }
  return memories;
}

bool CModem::SelectMemory(const std::string& memory) {
  reply::AnswerRule rule;
  rule.prefixes = {"+CPMS:"};
  return Command("AT+CPMS=\"" + memory + "\"", rule, kReplyLimitMs).final.kind == reply::Final::Ok;
}

std::vector<CStoredEntry> CModem::ListStored() {
  std::vector<CStoredEntry> entries;
  reply::AnswerRule rule;
  rule.prefixes = {"+CMGL:"};
  rule.pduLines = true;
  for (const std::string& memory : StorageMemories()) {
    if (!SelectMemory(memory)) continue;
    const reply::Answer listing = Command("AT+CMGL=" + std::to_string(kListAll), rule, kReplyLimitMs);
    for (size_t i = 0; i + 1 < listing.lines.size(); i += 2) {
      const reply::SmsLine line = reply::ReadSmsLine(listing.lines[i]);
      if (line.kind == reply::SmsLineKind::Listed) {
        entries.push_back({memory, line.index, line.stat, listing.lines[i + 1]});
      }
    }
  }
  return entries;
}

bool CModem::DeleteStored(const CStoredEntry& entry) {
  if (!SelectMemory(entry.memory)) return false;
  const std::string erase = "AT+CMGD=" + std::to_string(entry.index);
  const bool deleted = Command(erase, reply::AnswerRule(), kReplyLimitMs).final.kind == reply::Final::Ok;
  GetLog().Write("engine", "DeleteStored", 0,
                 (entry.memory + " " + std::to_string(entry.index) + (deleted ? " deleted" : " kept")).c_str());
  return deleted;
}

bool CModem::Listen(uint32_t limitMs) {
  bool stored = false;
  const UnsolicitedListener passOn = Listener();
  SetUnsolicitedListener([&stored, &passOn](const reply::Unsolicited& line) {
    const reply::SmsLineKind kind = reply::ReadSmsLine(line.line).kind;
    stored = stored || kind == reply::SmsLineKind::ReportStored ||
             kind == reply::SmsLineKind::MessageStored;
    if (passOn) passOn(line);
  });
  const uint32_t start = platform::TickMs();
  uint32_t waited = 0;
  // An answer nobody waits for (a late OK) ends one wait, not the listening.
  while (!stored && waited < limitMs && !IsDeviceLost()) {
    reply::CAnswerReader reader({});
    Await(reader, limitMs - waited);
    waited = platform::TickMs() - start;
  }
  SetUnsolicitedListener(passOn);
  return stored;
}
