// The simulator's reports and incoming messages through a raw pty client: one
// row per form a modem hands them over in. The PDUs in the replies carry the
// time, so a reply is matched with "<PDU>" standing for a hex line, and each
// PDU is then decoded and compared field by field.
#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <string>
#include <vector>

#include "PtyClient.h"
#include "modem/PduDecode.h"
#include "support/SimProcess.h"

namespace {

using testing_support::SimMemoryEvent;
using testing_support::SimProcess;

const std::string kOk = "\r\nOK\r\n";
const std::string kPrompt = "\r\n> ";
const std::string kCtrlZ = "\x1a";
// +12345678901, "Hello", asking for a status report; 19 octets.
const std::string kCmgs = "at+cmgs=19\r";
const std::string kAsking = "0031000B912143658709F10000AA05C8329BFD06" + kCtrlZ;
const std::string kNotAsking = "0011000B912143658709F10000AA05C8329BFD06" + kCtrlZ;

std::string Accepted(int ref) { return "\r\n+CMGS: " + std::to_string(ref) + "\r\n" + kOk; }

struct Step {
  std::string send;
  std::string expect;  // the whole reply; "<PDU>" stands for one line of hex
};

struct FormCase {
  const char* name;
  std::vector<std::string> args;
  std::vector<Step> steps;
  // Each PDU matched, decoded: "report <ref> <recipient> <status hex>" or
  // "message <sender> <part>/<parts> <text in 1251>".
  std::vector<std::string> pdus;
  // The memory's events: "<event> <memory> <index> <kind>".
  std::vector<std::string> events;
};

// 33 Latin and 67 Cyrillic letters, in UTF-8 as the command line takes them.
std::string Long() {
  std::string text(33, 'x');
  for (int i = 0; i < 67; ++i) text += u8"я";
  return text;
}

const std::string kStraight = "AT+CNMI=2,2,0,1,0\r";
const std::string kStored = "AT+CNMI=2,1,0,2,0\r";

const FormCase kForms[] = {
    {"ReportStraight", {"--report-delay", "0:0"},
     {{kStraight, kOk}, {kCmgs, kPrompt}, {kAsking, Accepted(1) + "\r\n+CDS: 25\r\n<PDU>\r\n"}},
     {"report 1 +12345678901 00"}, {"routed - 0 report"}},
    {"ReportStoredInSimWithItsStatus", {"--report-delay", "0:0", "--report-status", "2:62"},
     {{kStored, kOk}, {kCmgs, kPrompt}, {kNotAsking, Accepted(1)}, {kCmgs, kPrompt},
      {kAsking, Accepted(2) + "\r\n+CDSI: \"SM\",1\r\n"},
      {"AT+CMGL=4\r", "\r\n+CMGL: 1,0,,25\r\n<PDU>\r\n" + kOk},
      {"AT+CMGL=0\r", kOk}, {"AT+CMGD=1\r", kOk}, {"AT+CMGL=4\r", kOk}},
     {"report 2 +12345678901 62"},
     {"stored SM 1 report", "read SM 1 report", "deleted SM 1 report"}},
    {"ReportStoredApart", {"--report-delay", "0:0", "--profile", "reports-stored"},
     {{kStraight, "\r\n+CMS ERROR: 303\r\n"}, {kStored, kOk}, {kCmgs, kPrompt},
      {kAsking, Accepted(1) + "\r\n+CDSI: \"SR\",1\r\n"},
      {"AT+CPMS=\"SR\",\"SM\",\"SM\"\r", "\r\n+CPMS: 1,20,0,20,0,20\r\n" + kOk},
      {"AT+CMGR=1\r", "\r\n+CMGR: 0,,25\r\n<PDU>\r\n" + kOk},
      {"AT+CMGR=1\r", "\r\n+CMGR: 1,,25\r\n<PDU>\r\n" + kOk},
      {"AT+CMGD=0,1\r", kOk}, {"AT+CMGR=1\r", kOk}, {"AT+CMGR=21\r", "\r\n+CMS ERROR: 321\r\n"}},
     {"report 1 +12345678901 00", "report 1 +12345678901 00"},
     {"stored SR 1 report", "read SR 1 report", "read SR 1 report", "deleted SR 1 report"}},
    {"NoReportRouting", {"--report-delay", "0:0", "--profile", "no-reports"},
     {{"AT+CNMI=?\r", "\r\n+CNMI: (0-2),(0-3),(0-3),(0),(0,1)\r\n" + kOk},
      {kStraight, "\r\n+CMS ERROR: 303\r\n"}, {kStored, "\r\n+CMS ERROR: 303\r\n"},
      {"AT+CNMI=2,1,0,0,0\r", kOk}, {kCmgs, kPrompt}, {kAsking, Accepted(1)},
      {"AT+CMGL=4\r", kOk}},
     {}, {"lost - 0 report"}},
    {"MessageStraight", {"--incoming", "300:+79001122334:Hello"},
     {{kStraight, kOk}, {"", "\r\n+CMT: ,24\r\n<PDU>\r\n"}},
     {"message +79001122334 0/0 Hello"}, {"routed - 0 message"}},
    {"MessageStoredThenRead", {"--incoming", u8"300:Varnek:Стоп"},
     {{kStored, kOk}, {"", "\r\n+CMTI: \"SM\",1\r\n"},
      {"AT+CPMS?\r", "\r\n+CPMS: \"SM\",1,20,\"SM\",1,20,\"SM\",1,20\r\n" + kOk},
      {"AT+CMGR=1\r", "\r\n+CMGR: 0,,27\r\n<PDU>\r\n" + kOk}, {"AT+CMGD=1\r", kOk}},
     {"message Varnek 0/0 Стоп"}, {"stored SM 1 message", "read SM 1 message", "deleted SM 1 message"}},
    // 100 characters with Cyrillic: two UCS2 parts of 67 and 33.
    {"LongMessageStraightInParts", {"--incoming", "300:+79001122334:" + Long()},
     {{kStraight, kOk}, {"", "\r\n+CMT: ,159\r\n<PDU>\r\n\r\n+CMT: ,91\r\n<PDU>\r\n"}},
     {"message +79001122334 1/2 " + std::string(33, 'x') + std::string(34, '\xFF'),
      "message +79001122334 2/2 " + std::string(33, '\xFF')},
     {"routed - 0 message", "routed - 0 message"}},
    // A full memory refuses a report it could not keep, and holds back a
    // message until a place is free.
    {"FullMemory", {"--profile", "full-memory", "--incoming", "300:+79001122334:Hello"},
     {{kStored, kOk}, {kCmgs, kPrompt}, {kAsking, "\r\n+CMS ERROR: 322\r\n"},
      {"AT+CPMS?\r", "\r\n+CPMS: \"SM\",3,3,\"SM\",3,3,\"SM\",3,3\r\n" + kOk}, {"", ""},
      {"AT+CMGD=2\r", kOk + "\r\n+CMTI: \"SM\",2\r\n"}},
     {}, {"stored SM 1 message", "stored SM 2 message", "stored SM 3 message", "held - 0 message",
          "deleted SM 2 message", "stored SM 2 message"}},
    // Reports of an earlier run, waiting in memory for a collector.
    {"StoredAtStart", {"--stored-report", "7:+79001122334:00", "--stored-report", "8:+79001122335:46"},
     {{"AT+CMGL=4\r", "\r\n+CMGL: 1,0,,25\r\n<PDU>\r\n+CMGL: 2,0,,25\r\n<PDU>\r\n" + kOk}},
     {"report 7 +79001122334 00", "report 8 +79001122335 46"},
     {"stored SM 1 report", "stored SM 2 report", "read SM 1 report", "read SM 2 report"}},
};

std::string Pattern(const std::string& expect) {
  static const std::string kSpecial = "\\^$.|?*+()[]{}";
  std::string pattern;
  for (std::size_t i = 0; i < expect.size(); ++i) {
    if (expect.compare(i, 5, "<PDU>") == 0) {
      pattern += "([0-9A-F]+)";
      i += 4;
      continue;
    }
    if (kSpecial.find(expect[i]) != std::string::npos) pattern += '\\';
    pattern += expect[i];
  }
  return pattern;
}

// Reads until the reply matches expect whole or two seconds passed; the
// PDUs it held.
bool ReadReply(CPtyClient& client, const std::string& expect, std::string& got,
               std::vector<std::string>& pdus) {
  const std::regex pattern(Pattern(expect));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  got.clear();
  std::smatch match;
  while (!std::regex_match(got, match, pattern)) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    got += client.Read(1, static_cast<int>(left.count()), 0);
  }
  for (std::size_t i = 1; i < match.size(); ++i) pdus.push_back(match[i]);
  // Nothing more may follow what was expected.
  got += client.Read(1, expect.empty() ? 400 : 60, 0);
  return std::regex_match(got, pattern);
}

std::string Hex(int value) {
  char text[3];
  std::snprintf(text, sizeof(text), "%02X", static_cast<unsigned>(value));
  return text;
}

std::string Described(const std::string& hex) {
  std::string problem;
  pdu::StatusReport report;
  if (pdu::DecodeStatusReport(hex, report, problem)) {
    return "report " + std::to_string(report.reference) + " " + report.recipient.text + " " +
           Hex(report.status);
  }
  pdu::DeliverMessage message;
  if (pdu::DecodeDeliver(hex, message, problem)) {
    return "message " + message.originator.text + " " +
           std::to_string(message.concatenation.part) + "/" +
           std::to_string(message.concatenation.parts) + " " + message.text1251;
  }
  return "undecodable: " + problem;
}

class FormTest : public ::testing::TestWithParam<FormCase> {};

TEST_P(FormTest, HandsOverAsAModem) {
  const FormCase& c = GetParam();
  std::vector<std::string> args = {"--echo", "0"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  SimProcess sim(49, args);
  ASSERT_TRUE(sim.Started());
  CPtyClient client;
  ASSERT_TRUE(client.Open(sim.LinkPath()));
  std::vector<std::string> pdus;
  for (std::size_t i = 0; i < c.steps.size(); ++i) {
    if (!c.steps[i].send.empty()) {
      ASSERT_TRUE(client.Send(c.steps[i].send));
    }
    std::string got;
    ASSERT_TRUE(ReadReply(client, c.steps[i].expect, got, pdus))
        << "step " << i << "\n  got:    " << got << "\n  expect: " << c.steps[i].expect;
  }
  if (!c.pdus.empty()) {
    ASSERT_EQ(c.pdus.size(), pdus.size());
    for (std::size_t i = 0; i < pdus.size(); ++i) {
      EXPECT_EQ(c.pdus[i], Described(pdus[i])) << pdus[i];
    }
  }
  std::vector<std::string> events;
  for (const SimMemoryEvent& e : sim.MemoryEvents()) {
    events.push_back(e.event + " " + e.memory + " " + std::to_string(e.index) + " " + e.kind);
  }
  EXPECT_EQ(c.events, events);
}

INSTANTIATE_TEST_SUITE_P(Sim, FormTest, ::testing::ValuesIn(kForms),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
