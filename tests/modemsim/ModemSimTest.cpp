// The simulator through a raw pty client: the dialogue of a modem in PDU mode
// and every scripted fault.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "PtyClient.h"
#include "support/SimProcess.h"

namespace {

using testing_support::SimProcess;
using testing_support::SimSubmission;

// The worked example of a 7-bit SMS-SUBMIT: +12345678901, "Hello"; 19 octets.
const std::string kPdu = "0011000B912143658709F10000AA05C8329BFD06";
const std::string kCmgs = "at+cmgs=19\r";
const std::string kCtrlZ = "\x1a";
const std::string kPrompt = "\r\n> ";
const std::string kOk = "\r\nOK\r\n";
const std::string kError = "\r\nERROR\r\n";
const std::string kInvalid = "\r\n+CMS ERROR: 304\r\n";
const std::string kZero(1, '\0');

std::string Accepted(int ref) { return "\r\n+CMGS: " + std::to_string(ref) + "\r\n\r\nOK\r\n"; }
std::string Refused(const std::string& line) { return "\r\n" + line + "\r\n"; }
std::string Info(const std::string& line) { return "\r\n" + line + "\r\n" + kOk; }

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

// The worked example with its own service centre, +79990000100 (type 91,
// digits in swapped semi-octets): the announced length stays 19.
const std::string kPduWithCentre = "07919799000001F0" + kPdu.substr(2);

// A busy stick's status lines, in the order it sends them.
const std::string kStatusLines[] = {
    "\r\n^DSFLOWRPT:0000240E,00000000,00000000,00000000000AD023,00000000002FA192,0003E800,"
    "0003E800\r\n",
    "\r\n^RSSI:17\r\n", "\r\n^MODE:5,4\r\n", "\r\n^BOOT:20952988,0,0,0,75\r\n", "\r\n+CREG: 1\r\n"};

// Whole status lines in turn until at least bytes of them.
std::string StatusFlood(size_t bytes) {
  std::string flood;
  for (size_t i = 0; flood.size() < bytes; ++i) flood += kStatusLines[i % std::size(kStatusLines)];
  return flood;
}

struct Step {
  std::string send;
  std::string expect;  // the exact reply, echo included; "" = nothing at all
};

struct DialogueCase {
  const char* name;
  std::vector<std::string> args;
  std::vector<Step> steps;
};

const DialogueCase kDialogues[] = {
    {"EchoOnByDefault", {}, {{"at\r", "at\r" + kOk}, {"AT+CMGF=0\r", "AT+CMGF=0\r" + kOk}}},
    {"EchoOption", {"--echo", "0"}, {{"at\r", kOk}}},
    {"EchoSwitchedByAte", {}, {{"ATE0\r", "ATE0\r" + kOk}, {"at\r", kOk}, {"ate1\r", kOk},
                               {"at\r", "at\r" + kOk}}},
    {"AtzRestoresEcho", {}, {{"ate0\r", "ate0\r" + kOk}, {"atz\r", kOk}, {"at\r", "at\r" + kOk}}},
    {"KnownAndUnknownCommands", {"--echo", "0"},
     {{"At+CmGf=0\r", kOk}, {"AT+CMEE=1\r", kOk}, {"at+cmgf=2\r", kError}, {"at+cfun=1\r", kError},
      {"at+cmgs=x\r", kError}, {"hello\r", ""}, {"\r", ""}, {"at\r", kOk}}},
    {"SubmissionsGetIncreasingReferences", {"--echo", "0", "--ref", "7"},
     {{kCmgs, kPrompt}, {kPdu + kCtrlZ, Accepted(7)}, {kCmgs, kPrompt}, {kPdu + kCtrlZ, Accepted(8)}}},
    {"CommandEchoedPromptNot", {}, {{kCmgs, kCmgs + kPrompt}, {kPdu + kCtrlZ, Accepted(1)}}},
    {"LengthMismatchRejected", {"--echo", "0"},
     {{"at+cmgs=18\r", kPrompt}, {kPdu + kCtrlZ, kInvalid}, {"at\r", kOk}}},
    {"NonHexRejected", {"--echo", "0"},
     {{"at+cmgs=1\r", kPrompt}, {"00G1" + kCtrlZ, kInvalid},
      {"at+cmgs=1\r", kPrompt}, {"001" + kCtrlZ, kInvalid}}},
    {"EscDropsTheMessage", {"--echo", "0"},
     {{kCmgs, kPrompt}, {"0011", ""}, {"\x1b", kOk}, {"at\r", kOk}, {kCmgs, kPrompt},
      {kPdu + kCtrlZ, Accepted(1)}}},
    {"AtInsideTextIsText", {"--echo", "0"}, {{kCmgs, kPrompt}, {"at\r", ""}, {kCtrlZ, kInvalid}}},
    {"SubmitError", {"--echo", "0", "--submit", "2:error"},
     {{kCmgs, kPrompt}, {kPdu + kCtrlZ, Accepted(1)}, {kCmgs, kPrompt}, {kPdu + kCtrlZ, kError},
      {kCmgs, kPrompt}, {kPdu + kCtrlZ, Accepted(2)}}},
    {"SubmitCmsErrorThenSent", {"--echo", "0", "--submit", "1:cms:500"},
     {{kCmgs, kPrompt}, {kPdu + kCtrlZ, "\r\n+CMS ERROR: 500\r\n"}, {kCmgs, kPrompt},
      {kPdu + kCtrlZ, Accepted(1)}}},
    {"SubmitRefZero", {"--echo", "0", "--submit", "1:ref0"},
     {{kCmgs, kPrompt}, {kPdu + kCtrlZ, Accepted(0)}, {kCmgs, kPrompt}, {kPdu + kCtrlZ, Accepted(1)}}},
    {"SubmitNoPromptStillTakesText", {"--echo", "0", "--submit", "1:noprompt"},
     {{kCmgs, ""}, {kPdu + kCtrlZ, Accepted(1)}}},
    {"SubmitSilent", {"--echo", "0", "--submit", "1:silent"},
     {{kCmgs, kPrompt}, {kPdu + kCtrlZ, ""}, {"at\r", kOk}}},
    {"CommandFaults", {"--command", "AT:silent", "--command", "at+cmgf=0:error"},
     {{"at\r", "at\r"}, {"AT+CMGF=0\r", "AT+CMGF=0\r" + kError}, {"ate0\r", "ate0\r" + kOk}}},
    {"SilentModem", {"--silent"}, {{"at\r", ""}, {kCmgs, ""}}},
    {"UnsolicitedBeforeFinalReplies", {"--echo", "0", "--unsolicited", "\\r\\nRING\\r\\n"},
     {{"at\r", "\r\nRING\r\n" + kOk}, {kCmgs, kPrompt},
      {kPdu + kCtrlZ, "\r\nRING\r\n" + Accepted(1)}}},
    {"UnsolicitedInsideCmgsReply", {"--echo", "0", "--unsolicited-inside", "\\r\\n+CDSI: \\\"SM\\\",3\\r\\n"},
     {{"at\r", kOk}, {kCmgs, kPrompt},
      {kPdu + kCtrlZ, "\r\n+CMGS: 1\r\n\r\n+CDSI: \"SM\",3\r\n\r\nOK\r\n"}}},
    {"SplitRepliesArriveWhole", {"--echo", "0", "--split", "1:5"},
     {{"at\r", kOk}, {kCmgs, kPrompt}, {kPdu + kCtrlZ, Accepted(1)}}},
    {"PromptWithoutTheBlank", {"--echo", "0", "--prompt", "\\r\\n>\\r\\n"},
     {{kCmgs, "\r\n>\r\n"}, {kPdu + kCtrlZ, Accepted(1)}}},
    {"TextEchoedWhileEchoIsOn", {"--text-echo"},
     {{kCmgs, kCmgs + kPrompt}, {kPdu + kCtrlZ, kPdu + Accepted(1)}, {"ate0\r", "ate0\r" + kOk},
      {kCmgs, kPrompt}, {kPdu + kCtrlZ, Accepted(2)}}},
    {"ZeroByteBeforeEveryReply", {"--echo", "0", "--noise", "\\x00"},
     {{"at\r", kZero + kOk}, {kCmgs, kZero + kPrompt}, {kPdu + kCtrlZ, kZero + Accepted(1)}}},
    {"StartsWaitingForText", {"--echo", "0", "--profile", "killed-run"},
     {{"at\r", ""}, {"\x1b", kOk}, {"at\r", kOk}}},
    {"WhatComesBeforeAtIsIgnored", {"--echo", "0"},
     {{"\x1b" "at\r", kOk}, {"\x1b\x1b" "AT+CMGF=0\r", kOk}}},
    {"ReferencesWrapRound", {"--echo", "0", "--profile", "wrapping"},
     {{kCmgs, kPrompt}, {kPdu + kCtrlZ, Accepted(254)}, {kCmgs, kPrompt},
      {kPdu + kCtrlZ, Accepted(255)}, {kCmgs, kPrompt}, {kPdu + kCtrlZ, Accepted(0)}}},
    {"PinLockedRefusesEveryCmgs", {"--echo", "0", "--profile", "pin-locked"},
     {{kCmgs, "\r\n+CMS ERROR: 311\r\n"}, {"at\r", kOk}, {kCmgs, "\r\n+CMS ERROR: 311\r\n"}}},
    {"QueriesOfAReadyModem", {"--echo", "0"},
     {{"at+cgmi\r", "\r\nVarnek Labs\r\n" + kOk}, {"AT+CGMM\r", "\r\nVMS-1 simulated modem\r\n" + kOk},
      {"AT+CPIN?\r", "\r\n+CPIN: READY\r\n" + kOk}, {"AT+CREG?\r", "\r\n+CREG: 0,1\r\n" + kOk},
      {"AT+CSQ\r", "\r\n+CSQ: 21,0\r\n" + kOk},
      {"AT+COPS?\r", "\r\n+COPS: 0,0,\"Varnek Mobile\"\r\n" + kOk},
      {"AT+CSCA?\r", "\r\n+CSCA: \"+79990000100\",145\r\n" + kOk}}},
    {"QueriesAnsweredAsTold",
     {"--answer", "AT+CSQ:+CSQ: 5,99", "--answer", "at+cpin?:+CME ERROR: 10", "--answer",
      "AT+CGMI:", "--answer", "AT+COPS?:ERROR"},
     {{"AT+CSQ\r", "AT+CSQ\r\r\n+CSQ: 5,99\r\n" + kOk}, {"AT+CPIN?\r", "AT+CPIN?\r\r\n+CME ERROR: 10\r\n"},
      {"AT+CGMI\r", "AT+CGMI\r" + kOk}, {"AT+COPS?\r", "AT+COPS?\r" + kError}}},
    {"PinLockedQueries", {"--echo", "0", "--profile", "pin-locked"},
     {{"AT+CPIN?\r", "\r\n+CPIN: SIM PIN\r\n" + kOk}, {"AT+CREG?\r", "\r\n+CREG: 0,0\r\n" + kOk},
      {"AT+CSCA?\r", "\r\n+CME ERROR: 11\r\n"}}},
    {"UnregisteredRefusesEveryCmgs", {"--echo", "0", "--profile", "unregistered"},
     {{"AT+CREG?\r", "\r\n+CREG: 0,2\r\n" + kOk}, {"AT+CSQ\r", "\r\n+CSQ: 99,99\r\n" + kOk},
      {"AT+COPS?\r", "\r\n+COPS: 0\r\n" + kOk}, {kCmgs, "\r\n+CMS ERROR: 331\r\n"}}},
    {"NoQueriesAnswersErrorToEach", {"--echo", "0", "--profile", "no-queries"},
     {{"AT+CGMI\r", kError}, {"AT+CGMM\r", kError}, {"AT+CPIN?\r", kError}, {"AT+CREG?\r", kError},
      {"AT+CSQ\r", kError}, {"AT+COPS?\r", kError}, {"AT+CSCA?\r", kError}, {"at\r", kOk}}},
    {"IndicationsAsAModemOfferingBothRoutings", {"--echo", "0"},
     {{"AT+CNMI=?\r", "\r\n+CNMI: (0-2),(0-3),(0-3),(0-2),(0,1)\r\n" + kOk},
      {"AT+CNMI?\r", "\r\n+CNMI: 0,0,0,0,0\r\n" + kOk}, {"AT+CNMI=2,1,,2\r", kOk},
      {"AT+CNMI?\r", "\r\n+CNMI: 2,1,0,2,0\r\n" + kOk},
      {"AT+CNMI=3,1,0,2,0\r", "\r\n+CMS ERROR: 303\r\n"}, {"AT+CNMI=a\r", kError},
      {"AT+CNMI=1,1,0,0,0,0\r", kError},
      {"AT+CPMS=?\r", "\r\n+CPMS: (\"SM\"),(\"SM\"),(\"SM\")\r\n" + kOk},
      {"AT+CPMS=\"SR\"\r", "\r\n+CMS ERROR: 302\r\n"},
      {"AT+CPMS=\"SM\",\"SM\",\"SM\"\r", "\r\n+CPMS: 0,20,0,20,0,20\r\n" + kOk},
      {"AT+CMGL\r", kOk}, {"AT+CMGL=?\r", "\r\n+CMGL: (0-4)\r\n" + kOk},
      {"AT+CMGL=\"ALL\"\r", "\r\n+CMS ERROR: 304\r\n"}, {"AT+CMGR=1\r", kOk},
      {"AT+CMGR=0\r", "\r\n+CMS ERROR: 321\r\n"},
      {"AT+CMGD=?\r", "\r\n+CMGD: (1-20),(0-4)\r\n" + kOk}, {"AT+CMGD=1,5\r", "\r\n+CMS ERROR: 321\r\n"}}},
    {"ReportsOnlyStraight", {"--echo", "0", "--profile", "reports-straight"},
     {{"AT+CNMI=?\r", "\r\n+CNMI: (0-2),(0-3),(0-3),(0,1),(0,1)\r\n" + kOk},
      {"AT+CNMI=2,1,0,2,0\r", "\r\n+CMS ERROR: 303\r\n"}, {"AT+CNMI=2,1,0,1,0\r", kOk}}},
    {"ReportsStoredApart", {"--echo", "0", "--profile", "reports-stored"},
     {{"AT+CNMI=?\r", "\r\n+CNMI: (0-2),(0-3),(0-3),(0,2),(0,1)\r\n" + kOk},
      {"AT+CPMS=?\r", "\r\n+CPMS: (\"SM\",\"SR\"),(\"SM\"),(\"SM\")\r\n" + kOk},
      {"AT+CPMS=\"SR\",\"SR\"\r", "\r\n+CMS ERROR: 302\r\n"},
      {"AT+CPMS?\r", "\r\n+CPMS: \"SM\",0,20,\"SM\",0,20,\"SM\",0,20\r\n" + kOk}}},
    {"SubmitCmeErrors", {"--echo", "0", "--submit", "1:cme:SIM busy", "--submit", "2:cme:14"},
     {{kCmgs, kPrompt}, {kPdu + kCtrlZ, "\r\n+CME ERROR: SIM busy\r\n"}, {kCmgs, kPrompt},
      {kPdu + kCtrlZ, "\r\n+CME ERROR: 14\r\n"}}},
    {"TextOnlyModem", {"--echo", "0", "--profile", "text-only"},
     {{"AT+CMGF=0\r", kError}, {"AT+CMGF?\r", Info("+CMGF: 1")},
      {"AT+CMGF=?\r", Info("+CMGF: (1)")}, {"AT+CMGF=1\r", kOk},
      {"AT+CSCS=?\r", Info("+CSCS: (\"IRA\",\"GSM\",\"UCS2\")")},
      {"AT+CSCS?\r", Info("+CSCS: \"IRA\"")}, {"AT+CSMP?\r", Info("+CSMP: 17,167,0,0")},
      {"AT+CMGS=\"+12345678901\"\r", kPrompt}, {"Hello" + kCtrlZ, Accepted(1)},
      {kCmgs, kPrompt}, {kPdu + kCtrlZ, Accepted(2)}}},
    {"TextModeInAnyModem", {"--echo", "0"},
     {{"AT+CMGF?\r", Info("+CMGF: 0")}, {"AT+CMGF=?\r", Info("+CMGF: (0,1)")}, {"AT+CMGF=1\r", kOk},
      {"AT+CSCS=\"UCS2\"\r", kOk}, {"AT+CSMP=17,167,0,8\r", kOk},
      {"AT+CSMP?\r", Info("+CSMP: 17,167,0,8")}, {"AT+CSCS?\r", Info("+CSCS: \"UCS2\"")},
      {"AT+CMGS=\"+79123456789\",145\r", kPrompt}, {"041F04400438" + kCtrlZ, Accepted(1)},
      {"AT+CSMP=,,,0\r", kOk}, {"AT+CSMP?\r", Info("+CSMP: 17,167,0,0")},
      {"AT+CSCS=\"KOI8-R\"\r", kError}, {"AT+CSMP=1,2,3,4,5\r", kError}, {"AT+CSMP=256\r", kError},
      {"AT+CMGS=\"+7912\r", kError}, {"AT+CMGS=\"\"\r", kError}, {"AT+CMGS=\"12a\"\r", kError},
      {"AT+CMGF=0\r", kOk}, {"AT+CMGF?\r", Info("+CMGF: 0")}, {kCmgs, kPrompt},
      {kPdu + kCtrlZ, Accepted(2)}}},
    {"TextLongerThanOneMessageRefused", {"--echo", "0", "--profile", "text-only"},
     {{"AT+CMGS=\"123\"\r", kPrompt}, {std::string(161, 'a') + kCtrlZ, kInvalid},
      {"AT+CMGS=\"123\"\r", kPrompt}, {std::string(160, 'a') + kCtrlZ, Accepted(1)},
      // "{" is two septets: escape and its code in the extension table.
      {"AT+CMGS=\"123\"\r", kPrompt}, {std::string(159, 'a') + "{" + kCtrlZ, kInvalid},
      {"AT+CSCS=\"UCS2\"\r", kOk}, {"AT+CSMP=17,167,0,8\r", kOk},
      {"AT+CMGS=\"123\"\r", kPrompt}, {Repeat("0430", 71) + kCtrlZ, kInvalid},
      {"AT+CMGS=\"123\"\r", kPrompt}, {Repeat("0430", 70) + kCtrlZ, Accepted(2)},
      {"AT+CMGS=\"123\"\r", kPrompt}, {"04G0" + kCtrlZ, kInvalid},
      {"AT+CMGS=\"123\"\r", kPrompt}, {"043" + kCtrlZ, kInvalid}}},
    {"CmgsTight", {"--echo", "0", "--profile", "tight-phone"},
     {{kCmgs, kPrompt}, {kPdu + kCtrlZ, "\r\n+CMGS:1\r\n" + kOk}}},
    {"CmgsFields", {"--echo", "0", "--profile", "cmgs-fields"},
     {{kCmgs, kPrompt}, {kPdu + kCtrlZ, Info("+CMGS: 1,\"010052107121000021\"")},
      {"AT+CMGF=1\r", kOk}, {"AT+CMGS=\"1\"\r", kPrompt},
      {"Hi" + kCtrlZ, Info("+CMGS: 2,\"25/01/17,12:00:00+12\"")}}},
    {"StatusLinesBeforeThePrompt", {"--echo", "0", "--before-prompt", "100"},
     {{kCmgs, kStatusLines[0] + kStatusLines[1] + kPrompt}, {kPdu + kCtrlZ, Accepted(1)}}},
    {"TenKibBeforeThePrompt", {"--echo", "0", "--profile", "chatty-module"},
     {{kCmgs, StatusFlood(10240) + kPrompt}}},
    {"SimBusyWithItsLine", {"--echo", "0", "--sim-busy", "60000:+CME ERROR: 14"},
     {{kCmgs, Refused("+CME ERROR: 14")}, {"at\r", kOk}, {kCmgs, Refused("+CME ERROR: 14")}}},
    {"RateLimitRefusesBeyondItsShare", {"--echo", "0", "--profile", "rate-limited"},
     {{kCmgs, kPrompt}, {kPdu + kCtrlZ, Accepted(1)}, {kCmgs, kPrompt},
      {kPdu + kCtrlZ, Accepted(2)}, {kCmgs, kPrompt}, {kPdu + kCtrlZ, Refused("+CMS ERROR: 41")}}},
    {"CentreWrittenBeforeBlankCentrePdus", {"--echo", "0", "--profile", "blank-smsc"},
     {{kCmgs, kPrompt}, {kPdu + kCtrlZ, Refused("+CMS ERROR: 330")},
      {kCmgs, kPrompt}, {kPduWithCentre + kCtrlZ, Accepted(1)},
      {"AT+CSCA?\r", Info("+CSCA: \"+79990000100\",145")}, {"AT+CSCA=12345\r", kError},
      {kCmgs, kPrompt}, {kPdu + kCtrlZ, Refused("+CMS ERROR: 330")},
      {"AT+CSCA=\"+79990000200\"\r", kOk}, {"AT+CSCA?\r", Info("+CSCA: \"+79990000200\",145")},
      {kCmgs, kPrompt}, {kPdu + kCtrlZ, Accepted(2)}}},
    {"CentreOfAPduLeftOutOfItsLength", {"--echo", "0"},
     {{kCmgs, kPrompt}, {kPduWithCentre + kCtrlZ, Accepted(1)}, {"at+cmgs=27\r", kPrompt},
      {kPduWithCentre + kCtrlZ, kInvalid}, {kCmgs, kPrompt}, {"0791979900" + kCtrlZ, kInvalid}}},
};

class DialogueTest : public ::testing::TestWithParam<DialogueCase> {};

TEST_P(DialogueTest, RepliesAsAModem) {
  const DialogueCase& c = GetParam();
  SimProcess sim(41, c.args);
  ASSERT_TRUE(sim.Started());
  CPtyClient client;
  ASSERT_TRUE(client.Open(sim.LinkPath()));
  for (size_t i = 0; i < c.steps.size(); ++i) {
    const Step& step = c.steps[i];
    ASSERT_TRUE(client.Send(step.send));
    size_t count = step.expect.empty() ? 0 : step.expect.size();
    EXPECT_EQ(step.expect, client.Read(count)) << "step " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Sim, DialogueTest, ::testing::ValuesIn(kDialogues),
                         [](const auto& row) { return std::string(row.param.name); });

long long ElapsedMs(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

// Where time is the point, a few cases measured with generous tolerance.
TEST(SimTiming, DelaysHoldTheReplyBack) {
  SimProcess sim(42, {"--echo", "0", "--delay", "60", "--submit", "1:delay:150",
                      "--command", "AT+CMEE=1:delay:100", "--network", "100:100"});
  ASSERT_TRUE(sim.Started());
  CPtyClient client;
  ASSERT_TRUE(client.Open(sim.LinkPath()));
  struct Timed {
    std::string send;
    std::string expect;
    long long atLeastMs;
  };
  const Timed steps[] = {{"at\r", kOk, 60}, {"at+cmee=1\r", kOk, 160}, {kCmgs, kPrompt, 60},
                         {kPdu + kCtrlZ, Accepted(1), 310}};
  for (const Timed& step : steps) {
    auto start = std::chrono::steady_clock::now();
    client.Send(step.send);
    EXPECT_EQ(step.expect, client.Read(step.expect.size(), 2000, 0));
    long long elapsed = ElapsedMs(start);
    EXPECT_GE(elapsed, step.atLeastMs) << step.send;
    EXPECT_LT(elapsed, step.atLeastMs + 1000) << step.send;
  }
}

TEST(SimSplit, RepliesAreWrittenInPieces) {
  SimProcess sim(43, {"--echo", "0", "--split", "3:10"});
  ASSERT_TRUE(sim.Started());
  CPtyClient client;
  ASSERT_TRUE(client.Open(sim.LinkPath()));
  client.Send("at\r");
  ASSERT_EQ(kOk, client.Read(kOk.size()));
  // "\r\nOK\r\n" as three writes of three, two and one escaped bytes.
  EXPECT_NE(std::string::npos, sim.Transcript().find("OUT \\r\\nO\nOUT K\\r\\n\n"))
      << sim.Transcript();
}

// Unsolicited lines come between the modem's lines, while it waits for
// commands and while it waits for PDU text.
TEST(SimUnsolicited, LinesComeInTurnBetweenLines) {
  SimProcess sim(47, {"--echo", "0", "--urc", "\\r\\nRING\\r\\n", "--urc", "\\r\\n^RSSI:9\\r\\n",
                      "--urc-every", "40"});
  ASSERT_TRUE(sim.Started());
  CPtyClient client;
  ASSERT_TRUE(client.Open(sim.LinkPath()));
  std::string idle = client.Read(64, 300);
  EXPECT_NE(idle.find("\r\nRING\r\n\r\n^RSSI:9\r\n\r\nRING\r\n"), std::string::npos) << idle;
  client.Send(kCmgs);
  std::string prompt = client.Read(64, 300);
  EXPECT_NE(prompt.find(kPrompt), std::string::npos) << prompt;
  std::string typing = client.Read(64, 300);
  EXPECT_NE(typing.find("RING"), std::string::npos) << "while the text is awaited: " << typing;
  client.Send(kPdu + kCtrlZ);
  EXPECT_NE(client.Read(200, 300).find(Accepted(1)), std::string::npos);
}

// An old phone keeps only 64 bytes of what arrives within 150 ms.
TEST(SimBurst, BytesBeyondTheLimitAreLost) {
  SimProcess sim(48, {"--echo", "0", "--profile", "old-phone"});
  ASSERT_TRUE(sim.Started());
  CPtyClient client;
  ASSERT_TRUE(client.Open(sim.LinkPath()));
  client.Send(kCmgs);
  ASSERT_EQ(kPrompt, client.Read(kPrompt.size()));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  client.Send(std::string(100, '0'));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  client.Send(kCtrlZ);
  EXPECT_EQ(kInvalid, client.Read(kInvalid.size()));
  std::vector<SimSubmission> record = sim.Submissions();
  ASSERT_EQ(1u, record.size());
  EXPECT_EQ(std::string(64, '0'), record[0].pdu);
  EXPECT_NE(std::string::npos, sim.Transcript().find("--- lost 36 bytes")) << sim.Transcript();
}

bool LinkExists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

bool WaitUntil(const std::function<bool()>& condition) {
  for (int i = 0; i < 400; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

TEST(SimDrop, LineDroppedInTheTextComesBackBehindTheLink) {
  SimProcess sim(44, {"--echo", "0", "--submit", "1:drop", "--drop-ms", "50"});
  ASSERT_TRUE(sim.Started());
  CPtyClient client;
  ASSERT_TRUE(client.Open(sim.LinkPath()));
  client.Send(kCmgs);
  ASSERT_EQ(kPrompt, client.Read(kPrompt.size()));
  client.Send(kPdu.substr(0, 24));
  EXPECT_TRUE(client.HangsUp(1000));
  client.Close();

  // The old pty is gone with the hang-up; the link works again once the new
  // one is there (the system may give it the same number).
  ASSERT_TRUE(WaitUntil([&] { return client.Open(sim.LinkPath()); }));
  client.Send("at\r");
  EXPECT_EQ(kOk, client.Read(kOk.size()));
  client.Send(kCmgs);
  EXPECT_EQ(kPrompt, client.Read(kPrompt.size()));
  client.Send(kPdu + kCtrlZ);
  EXPECT_EQ(Accepted(1), client.Read(Accepted(1).size()));

  std::vector<SimSubmission> record = sim.Submissions();
  ASSERT_EQ(2u, record.size());
  EXPECT_EQ("dropped", record[0].answer);
  EXPECT_EQ(kPdu.substr(0, 20), record[0].pdu);
  EXPECT_EQ("ok 1", record[1].answer);
}

TEST(SimRecord, OneLinePerEndedSubmission) {
  SimProcess sim(45, {"--echo", "0", "--submit", "3:cms:500", "--submit", "4:silent",
                      "--submit", "5:error"});
  ASSERT_TRUE(sim.Started());
  CPtyClient client;
  ASSERT_TRUE(client.Open(sim.LinkPath()));
  const Step steps[] = {
      {kCmgs, kPrompt},          {kPdu + kCtrlZ, Accepted(1)}, {"at+cmgs=2\r", kPrompt},
      {"00\tA\x1a", kInvalid},   {kCmgs, kPrompt},             {kPdu + kCtrlZ, "\r\n+CMS ERROR: 500\r\n"},
      {kCmgs, kPrompt},          {kPdu + kCtrlZ, ""},          {kCmgs, kPrompt},
      {kPdu + kCtrlZ, kError},   {"at+cmgs=20\r", kPrompt},    {kPdu + kCtrlZ, kInvalid},
      {kCmgs, kPrompt},          {"00\x1b", kOk},
  };
  for (const Step& step : steps) {
    client.Send(step.send);
    ASSERT_EQ(step.expect, client.Read(step.expect.size())) << step.send;
  }
  struct Expected {
    int announced;
    std::string pdu;
    std::string answer;
  };
  const Expected expected[] = {
      {19, kPdu, "ok 1"},     {2, "00\\tA", "invalid hex"}, {19, kPdu, "error +CMS ERROR: 500"},
      {19, kPdu, "silent"},   {19, kPdu, "error ERROR"},    {20, kPdu, "invalid length"},
      {19, "00", "escaped"},
  };
  std::vector<SimSubmission> record = sim.Submissions();
  ASSERT_EQ(std::size(expected), record.size());
  for (size_t i = 0; i < record.size(); ++i) {
    EXPECT_EQ(static_cast<int>(i) + 1, record[i].index);
    EXPECT_EQ(expected[i].announced, record[i].announcedLength) << i;
    EXPECT_EQ(expected[i].pdu, record[i].pdu) << i;
    EXPECT_EQ(expected[i].answer, record[i].answer) << i;
  }
}

// A test tells text-mode submissions from PDUs and reads their number and
// text as the phone shows it; a PDU's own service centre is named.
TEST(SimRecord, MarksOfTextSubmissionsAndOfTheCentre) {
  SimProcess sim(49, {"--echo", "0"});
  ASSERT_TRUE(sim.Started());
  CPtyClient client;
  ASSERT_TRUE(client.Open(sim.LinkPath()));
  const Step steps[] = {
      {"AT+CMGF=1\r", kOk},
      {kCmgs, kPrompt},  // a PDU-mode command: the number 19
      {kPdu + kCtrlZ, Accepted(1)},
      {"AT+CMGS=\"+12345678901\"\r", kPrompt},
      {"Hello @" + kCtrlZ, Accepted(2)},
      {"AT+CSCS=\"GSM\"\r", kOk},
      {"AT+CMGS=\"+12345678901\",129\r", kPrompt},
      {std::string("a\0\x02[", 4) + kCtrlZ, Accepted(3)},
      {"AT+CSCS=\"UCS2\"\r", kOk},
      {"AT+CSMP=17,167,0,8\r", kOk},
      {"AT+CMGS=\"+79123456789\"\r", kPrompt},
      {"041F0440043804320435044220AC" + kCtrlZ, Accepted(4)},
      {"AT+CSMP=17,167,0,0\r", kOk},  // Cyrillic has no 7-bit form
      {"AT+CMGS=7\r", kPrompt},
      {"041F0041" + kCtrlZ, Accepted(5)},
      {"AT+CMGS=\"123\"\r", kPrompt},
      {"x\x1b", kOk},
      {"AT+CMGF=0\r", kOk},
      {kCmgs, kPrompt},
      {kPduWithCentre + kCtrlZ, Accepted(6)},
      {kCmgs, kPrompt},
      {kPdu + kCtrlZ, Accepted(7)},
  };
  for (const Step& step : steps) {
    client.Send(step.send);
    ASSERT_EQ(step.expect, client.Read(step.expect.size())) << step.send;
  }
  using Marks = std::map<std::string, std::string>;
  auto text = [](const char* number, const char* type, const char* cscs, const char* dcs,
                 const char* shown) {
    return Marks{{"mode", "text"}, {"number", number}, {"type", type},
                 {"cscs", cscs},   {"dcs", dcs},       {"text", shown}};
  };
  struct Expected {
    std::string typed;
    std::string answer;
    Marks marks;
  };
  const Expected expected[] = {
      {kPdu, "ok 1", text("19", "129", "IRA", "0", kPdu.c_str())},
      {"Hello @", "ok 2", text("+12345678901", "145", "IRA", "0", "Hello @")},
      {"a\\x00\\x02[", "ok 3", text("+12345678901", "129", "GSM", "0", u8"a@$Ä")},
      {"041F0440043804320435044220AC", "ok 4",
       text("+79123456789", "145", "UCS2", "8", u8"Привет€")},
      {"041F0041", "ok 5", text("7", "129", "UCS2", "0", "?A")},
      {"x", "escaped", Marks{{"mode", "text"}, {"number", "123"}, {"type", "129"}}},
      {kPduWithCentre, "ok 6", Marks{{"sca", "+79990000100"}}},
      {kPdu, "ok 7", Marks{}},
  };
  std::vector<SimSubmission> record = sim.Submissions();
  ASSERT_EQ(std::size(expected), record.size());
  for (size_t i = 0; i < record.size(); ++i) {
    EXPECT_EQ(expected[i].typed, record[i].pdu) << i;
    EXPECT_EQ(expected[i].answer, record[i].answer) << i;
    EXPECT_EQ(expected[i].marks, record[i].marks) << i;
    EXPECT_EQ(record[i].TextMode() ? 0 : 19, record[i].announcedLength) << i;
  }
}

// Sends AT+CMGS until the prompt comes instead of a refusal; true when it came.
bool PromptOnceAccepted(CPtyClient& client, const std::string& refusal) {
  return WaitUntil([&] {
    client.Send(kCmgs);
    std::string reply = client.Read(kPrompt.size());
    EXPECT_TRUE(reply == kPrompt || reply == refusal) << reply;
    return reply == kPrompt;
  });
}

// The device vanishes where the answer would come and comes back behind the
// same link in its power-up state: echo on, the SIM busy for a while again,
// the service centre to be written again.
TEST(SimReboot, DeviceVanishesAndComesBackPoweredUp) {
  SimProcess sim(50, {"--reboot", "2:300", "--sim-busy", "500", "--csca-required"});
  ASSERT_TRUE(sim.Started());
  CPtyClient client;
  ASSERT_TRUE(client.Open(sim.LinkPath()));
  const std::string busy = Refused("+CMS ERROR: 314");
  const std::string writeCentre = "AT+CSCA=\"+79990000100\"\r";
  client.Send("ATE0\r");
  ASSERT_EQ("ATE0\r" + kOk, client.Read(5 + kOk.size()));
  client.Send(writeCentre);
  ASSERT_EQ(kOk, client.Read(kOk.size()));
  ASSERT_TRUE(PromptOnceAccepted(client, busy));
  client.Send(kPdu + kCtrlZ);
  ASSERT_EQ(Accepted(1), client.Read(Accepted(1).size()));
  client.Send(kCmgs);
  ASSERT_EQ(kPrompt, client.Read(kPrompt.size()));
  client.Send(kPdu + kCtrlZ);
  EXPECT_TRUE(client.HangsUp(1000));
  client.Close();
  EXPECT_TRUE(WaitUntil([&] { return !LinkExists(sim.LinkPath()); }))
      << "the link goes with the device";

  ASSERT_TRUE(WaitUntil([&] { return client.Open(sim.LinkPath()); }));
  client.Send("at\r");
  EXPECT_EQ("at\r" + kOk, client.Read(3 + kOk.size())) << "echo as at power-up";
  client.Send(kCmgs);
  EXPECT_EQ(kCmgs + busy, client.Read(kCmgs.size() + busy.size())) << "the SIM is busy again";
  client.Send("ATE0\r");
  ASSERT_EQ("ATE0\r" + kOk, client.Read(5 + kOk.size()));
  ASSERT_TRUE(PromptOnceAccepted(client, busy));
  client.Send(kPdu + kCtrlZ);
  EXPECT_EQ(Refused("+CMS ERROR: 330"), client.Read(kPrompt.size())) << "the centre is not written";
  client.Send(writeCentre);
  ASSERT_EQ(kOk, client.Read(kOk.size()));
  client.Send(kCmgs);
  ASSERT_EQ(kPrompt, client.Read(kPrompt.size()));
  client.Send(kPdu + kCtrlZ);
  EXPECT_EQ(Accepted(3), client.Read(Accepted(3).size())) << "the rebooted one took reference 2";

  std::vector<std::string> sent;
  for (const SimSubmission& s : sim.Submissions()) {
    if (s.answer.rfind("refused", 0) != 0) {
      sent.push_back(std::to_string(s.index) + " " + s.answer + " " + s.Mark("rebooted"));
    } else {
      EXPECT_TRUE(s.index == 1 || s.index == 3) << "a refusal has the index of the try after it";
    }
  }
  const std::vector<std::string> expected = {"1 ok 1 ", "2 ok 2 1", "3 error +CMS ERROR: 330 ",
                                             "4 ok 3 "};
  EXPECT_EQ(expected, sent);
}

// The network takes two within any 500 ms; a refused message does not count,
// so after the window two go again at once.
TEST(SimRateLimit, RefusedMessagesAreNotCounted) {
  SimProcess sim(51, {"--echo", "0", "--rate-limit", "2:500"});
  ASSERT_TRUE(sim.Started());
  CPtyClient client;
  ASSERT_TRUE(client.Open(sim.LinkPath()));
  const std::string refused = Refused("+CMS ERROR: 41");
  auto submit = [&] {
    client.Send(kCmgs);
    EXPECT_EQ(kPrompt, client.Read(kPrompt.size()));
    client.Send(kPdu + kCtrlZ);
    return client.Read(refused.size());
  };
  EXPECT_EQ(Accepted(1), submit());
  EXPECT_EQ(Accepted(2), submit());
  EXPECT_EQ(refused, submit());
  std::string reply;
  ASSERT_TRUE(WaitUntil([&] { return (reply = submit()) != refused; }));
  EXPECT_EQ(Accepted(3), reply);
  EXPECT_EQ(Accepted(4), submit());
  EXPECT_EQ(refused, submit());
}

// A busy stick's status lines come between any two lines: between the
// pieces of the PDU's echo and while the network is awaited. Taken out, they
// leave the dialogue as it would be without them.
TEST(SimStatusLines, FlowDuringTheEchoAndTheNetworkWait) {
  SimProcess sim(52, {"--profile", "busy-stick", "--status-lines", "20", "--network", "300:300"});
  ASSERT_TRUE(sim.Started());
  CPtyClient client;
  ASSERT_TRUE(client.Open(sim.LinkPath()));
  std::string heard;
  auto linesIn = [](const std::string& text) {
    size_t count = 0;
    for (const std::string& line : kStatusLines) {
      for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) {
        ++count;
      }
    }
    return count;
  };
  client.Send(kCmgs);
  for (size_t at = 0; at < kPdu.size(); at += 10) {
    // The next piece once a status line came since the last one.
    const size_t before = linesIn(heard);
    ASSERT_TRUE(WaitUntil([&] { return linesIn(heard += client.Read(1, 10, 0)) > before; }));
    client.Send(kPdu.substr(at, 10));
  }
  client.Send(kCtrlZ);
  const size_t beforeAnswer = heard.size();
  ASSERT_TRUE(WaitUntil([&] {
    heard += client.Read(1, 10, 0);
    return heard.find(Accepted(1)) != std::string::npos;
  }));
  EXPECT_GE(linesIn(heard.substr(beforeAnswer)), 3u) << "while the network is awaited";
  for (const std::string& line : kStatusLines) {
    for (size_t at; (at = heard.find(line)) != std::string::npos;) heard.erase(at, line.size());
  }
  EXPECT_EQ(kCmgs + kPrompt + kPdu + Accepted(1), heard);
}

TEST(SimTranscript, HoldsBothDirectionsEscaped) {
  SimProcess sim(46);
  ASSERT_TRUE(sim.Started());
  CPtyClient client;
  ASSERT_TRUE(client.Open(sim.LinkPath()));
  client.Send("at\r");
  ASSERT_EQ("at\r" + kOk, client.Read(3 + kOk.size()));
  EXPECT_NE(std::string::npos, sim.Transcript().find("IN  at\\r\nOUT at\\r\nOUT \\r\\nOK\\r\\n\n"))
      << sim.Transcript();
}

// The program itself: its command line, and how it ends.
int RunSim(const std::string& arguments) {
  std::string command = std::string(VARNEK_SIM_PROGRAM) + " " + arguments + " >/dev/null 2>&1";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SimCommandLine, HelpAndBadOptions) {
  EXPECT_EQ(0, RunSim("--help"));
  EXPECT_EQ(2, RunSim(""));  // no link
  const char* bad[] = {"--frobnicate", "--link", "--link /tmp/x --submit 0:error",
                       "--link /tmp/x --submit 1:explode", "--link /tmp/x --submit 1:cms:",
                       "--link /tmp/x --command AT:explode", "--link /tmp/x --split 3",
                       "--link /tmp/x --echo 2", "--link /tmp/x --delay -5",
                       "--link /tmp/x --profile nosuch", "--link /tmp/x --network 5",
                       "--link /tmp/x --submit 1:cme:", "--link /tmp/x --profile",
                       "--link /tmp/x --answer AT+CSQ", "--link /tmp/x --answer :+CSQ: 1,0",
                       "--link /tmp/x --reports sometimes", "--link /tmp/x --report-memory ME",
                       "--link /tmp/x --memory 0", "--link /tmp/x --memory 256",
                       "--link /tmp/x --report-delay 5:1", "--link /tmp/x --report-status 0:00",
                       "--link /tmp/x --report-status 1:GG", "--link /tmp/x --report-status 1:100",
                       "--link /tmp/x --incoming 5:+7900", "--link /tmp/x --incoming x:+7900:hi",
                       "--link /tmp/x --incoming 5:TooLongSender:hi",
                       "--link /tmp/x --incoming 5:+123456789012345678901:hi",
                       "--link /tmp/x --stored-report 300:+7900:00",
                       "--link /tmp/x --stored-report 1:7900:00",
                       "--link /tmp/x --stored-message Ok:\xff",
                       "--link /tmp/x --cmgs-form wide", "--link /tmp/x --fixed-speed 1234",
                       "--link /tmp/x --sim-busy 500:", "--link /tmp/x --sim-busy x",
                       "--link /tmp/x --reboot 2", "--link /tmp/x --reboot 0:100",
                       "--link /tmp/x --rate-limit 3", "--link /tmp/x --status-lines 0",
                       "--link /tmp/x --before-prompt -1"};
  for (const char* args : bad) EXPECT_EQ(2, RunSim(args)) << args;
}

TEST(SimLifetime, StopFileAndSignalEndItAndRemoveTheLink) {
  std::string base = "/tmp/varnek-simtest-" + std::to_string(getpid());
  std::string link = base + ".link";
  std::string stop = base + ".stop";
  std::remove(stop.c_str());
  // An existing link is replaced.
  ASSERT_EQ(0, symlink("/dev/null", link.c_str()));
  std::thread runner([&] { RunSim("--link " + link + " --stop-file " + stop); });
  char target[256] = {0};
  EXPECT_TRUE(WaitUntil([&] {
    return readlink(link.c_str(), target, sizeof target - 1) > 0 && std::string(target) != "/dev/null";
  }));
  std::ofstream(stop).put('\n');
  runner.join();
  EXPECT_FALSE(LinkExists(link));
  std::remove(stop.c_str());

  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    execl(VARNEK_SIM_PROGRAM, VARNEK_SIM_PROGRAM, "--link", link.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  EXPECT_TRUE(WaitUntil([&] { return LinkExists(link); }));
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_FALSE(LinkExists(link));
}

// A stop does not wait for a late network (nor for a reboot): the link goes
// at once, and under Wine, where the test can only leave a stop file, the
// simulator does not outlive its test.
TEST(SimLifetime, StopsInTheMiddleOfALongWait) {
  SimProcess sim(53, {"--echo", "0", "--network", "60000:60000"});
  ASSERT_TRUE(sim.Started());
  CPtyClient client;
  ASSERT_TRUE(client.Open(sim.LinkPath()));
  client.Send(kCmgs);
  ASSERT_EQ(kPrompt, client.Read(kPrompt.size()));
  client.Send(kPdu + kCtrlZ);
  ASSERT_TRUE(WaitUntil([&] { return sim.Transcript().find("\\x1a") != std::string::npos; }));
  std::ofstream(sim.LinkPath().substr(0, sim.LinkPath().rfind('/')) + "/stop").put('\n');
  EXPECT_TRUE(WaitUntil([&] { return !LinkExists(sim.LinkPath()); }));
}

}  // namespace
