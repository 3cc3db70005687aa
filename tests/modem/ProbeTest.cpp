// The probe's reading of a modem's answers and its verdict, from replies as
// modems send them (echo, unsolicited lines, bare and prefixed answers).
#include <gtest/gtest.h>

#include <string>

#include "modem/ModemProbe.h"

namespace {

using probe::AnswerKind;
using probe::Query;

TEST(ProbeAnswer, ReadsTheInformationAmongEchoAndUnsolicitedLines) {
  struct Case {
    Query query;
    std::string reply;
    AnswerKind kind;
    const char* text;
  };
  const Case cases[] = {
      {Query::Maker, "AT+CGMI\r\r\nQuectel\r\n\r\nOK\r\n", AnswerKind::Given, "Quectel"},
      {Query::Maker, "\r\n+CGMI: SIMCOM_Ltd\r\n\r\nOK\r\n", AnswerKind::Given, "SIMCOM_Ltd"},
      {Query::Maker, "\r\n^RSSI:17\r\n\r\nhuawei\r\n\r\nOK\r\n", AnswerKind::Given, "huawei"},
      {Query::Model, "at+cgmm\r\r\nRING\r\n\r\nE173 \r\n\r\nOK\r\n", AnswerKind::Given, "E173"},
      {Query::Model, "\r\nOK\r\n", AnswerKind::Unsupported, ""},
      {Query::Sim, "AT+CPIN?\r\r\n+CPIN: READY\r\n\r\nOK\r\n", AnswerKind::Given, "READY"},
      {Query::Sim, "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n", AnswerKind::Given, "SIM PIN"},
      {Query::Sim, "\r\n+CME ERROR: 10\r\n", AnswerKind::Refused,
       "+CME ERROR: 10 (SIM not inserted)"},
      {Query::Sim, "\r\n+CME ERROR: SIM failure\r\n", AnswerKind::Refused,
       "+CME ERROR: SIM failure"},
      {Query::Sim, "\r\nERROR\r\n", AnswerKind::Unsupported, ""},
      {Query::Operator, "\r\n+CME ERROR: 4\r\n", AnswerKind::Unsupported, ""},
      {Query::Operator, "\r\n+CME ERROR: Operation not supported\r\n", AnswerKind::Unsupported,
       ""},
      {Query::Registration, "\r\n+CMTI: \"SM\",3\r\n\r\n+CREG: 0,5\r\n\r\nOK\r\n", AnswerKind::Given,
       "0,5"},
      {Query::Registration, "\r\n+CSQ: 5,0\r\n\r\nOK\r\n", AnswerKind::Unsupported, ""},
      {Query::Signal, "\r\n+CSQ: 21,0\r\n", AnswerKind::Silent, ""},  // the OK has not come
      {Query::Signal, "", AnswerKind::Silent, ""},
      {Query::ServiceCentre, "\r\n+CSCA: \"+79990000100\",145\r\n\r\nOK\r\n", AnswerKind::Given,
       "\"+79990000100\",145"},
  };
  for (const Case& c : cases) {
    const probe::Answer answer =
        probe::ReadAnswer(c.query, c.reply);
    EXPECT_EQ(c.kind, answer.kind) << c.reply;
    EXPECT_EQ(c.text, answer.text) << c.reply;
  }
}

probe::Answer Given(const char* text) { return {AnswerKind::Given, text}; }

// A ready modem's answers, in the order of the queries.
probe::Answers ReadyModem() {
  return {Given("Varnek Labs"), Given("VMS-1"), Given("READY"), Given("0,1"), Given("21,0"),
          Given("0,0,\"Varnek Mobile\""), Given("\"+79990000100\",145")};
}

struct VerdictCase {
  const char* what;
  std::vector<std::pair<Query, probe::Answer>> changes;  // to the ready modem
  bool ready;
  const char* verdict;
  Query shownQuery;
  const char* shown;
};

const probe::Answer kUnsupported{AnswerKind::Unsupported, ""};
const probe::Answer kSilent{AnswerKind::Silent, ""};

const VerdictCase kVerdicts[] = {
    {"ready", {}, true, "ready to send", Query::Signal, "-71 dBm, 4 of 4 bars"},
    {"operator", {}, true, "ready to send", Query::Operator, "Varnek Mobile"},
    {"PIN", {{Query::Sim, Given("SIM PIN")}}, false, "the SIM waits for its PIN", Query::Sim,
     "waits for its PIN"},
    {"PUK", {{Query::Sim, Given("SIM PUK")}}, false, "the SIM is blocked and waits for its PUK",
     Query::Sim, "blocked, waits for its PUK"},
    {"other SIM state", {{Query::Sim, Given("PH-NET PIN")}}, false,
     "the SIM is not ready (+CPIN: PH-NET PIN)", Query::Sim, "not ready (PH-NET PIN)"},
    {"no SIM", {{Query::Sim, {AnswerKind::Refused, "+CME ERROR: 10 (SIM not inserted)"}}}, false,
     "the SIM is not usable: +CME ERROR: 10 (SIM not inserted)", Query::Sim,
     "+CME ERROR: 10 (SIM not inserted)"},
    {"SIM not told", {{Query::Sim, kUnsupported}}, true, "ready to send", Query::Sim,
     "not supported"},
    {"the SIM comes first", {{Query::Sim, Given("SIM PIN")}, {Query::Registration, Given("0,0")}},
     false, "the SIM waits for its PIN", Query::Registration, "not registered, not searching"},
    {"searching", {{Query::Registration, Given("0,2")}}, false,
     "not registered with a network (searching)", Query::Registration, "not registered, searching"},
    {"denied", {{Query::Registration, Given("2,3,\"00C3\",\"0000B1C2\"")}}, false,
     "the network denied the registration", Query::Registration, "registration denied"},
    {"roaming", {{Query::Registration, Given("0,5")}}, true, "ready to send", Query::Registration,
     "registered, roaming"},
    {"SMS only on LTE", {{Query::Registration, Given("0,6")}}, true, "ready to send",
     Query::Registration, "registered for SMS only, home network"},
    {"stat alone", {{Query::Registration, Given("1")}}, true, "ready to send", Query::Registration,
     "registered, home network"},
    {"unreadable registration", {{Query::Registration, Given("x,y")}}, true, "ready to send",
     Query::Registration, "unreadable answer \"+CREG: x,y\""},
    {"signal at the floor", {{Query::Signal, Given("0,0")}}, false, "no signal", Query::Signal,
     "-113 dBm or less, 0 of 4 bars"},
    {"signal at the top", {{Query::Signal, Given("31,0")}}, true, "ready to send", Query::Signal,
     "-51 dBm or more, 4 of 4 bars"},
    {"one bar", {{Query::Signal, Given("9,99")}}, true, "ready to send", Query::Signal,
     "-95 dBm, 1 of 4 bars"},
    {"two bars", {{Query::Signal, Given("10,0")}}, true, "ready to send", Query::Signal,
     "-93 dBm, 2 of 4 bars"},
    {"unknown signal while registered", {{Query::Signal, Given("99,99")}}, true, "ready to send",
     Query::Signal, "not known or not detectable"},
    {"unknown signal, registration not told",
     {{Query::Signal, Given("99,99")}, {Query::Registration, kSilent}}, false, "no signal",
     Query::Registration, "no answer"},
    {"no service centre", {{Query::ServiceCentre, Given("\"\",129")}}, false,
     "no service centre number is stored", Query::ServiceCentre, "none stored"},
    {"service centre refused",
     {{Query::ServiceCentre, {AnswerKind::Refused, "+CME ERROR: 11 (SIM PIN required)"}}}, true,
     "ready to send", Query::ServiceCentre, "refused: +CME ERROR: 11 (SIM PIN required)"},
    {"no operator", {{Query::Operator, Given("0")}}, true, "ready to send", Query::Operator, "none"},
    {"nothing told",
     {{Query::Maker, kUnsupported}, {Query::Model, kUnsupported}, {Query::Sim, kUnsupported},
      {Query::Registration, kUnsupported}, {Query::Signal, kUnsupported},
      {Query::Operator, kUnsupported}, {Query::ServiceCentre, kUnsupported}},
     true, "ready to send, as far as it tells: it answers AT, but not on SIM, network or signal",
     Query::Maker, "not supported"},
};

TEST(ProbeVerdict, FirstCauseInTheOrderSimNetworkSignalServiceCentre) {
  for (const VerdictCase& c : kVerdicts) {
    SCOPED_TRACE(c.what);
    probe::Answers answers = ReadyModem();
    for (const auto& change : c.changes) {
      answers[static_cast<size_t>(change.first)] = change.second;
    }
    const probe::Report report = probe::JudgeProbe(answers);
    EXPECT_EQ(c.ready, report.ready);
    EXPECT_EQ(c.verdict, report.verdict);
    EXPECT_EQ(c.shown, report.findings[static_cast<size_t>(c.shownQuery)].shown);
  }
}

}  // namespace
