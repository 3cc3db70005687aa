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
     {{"At+CmGf=0\r", kOk}, {"AT+CMEE=1\r", kOk}, {"at+cmgf=1\r", kError}, {"at+cfun=1\r", kError},
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
    {"SubmitCmsError", {"--echo", "0", "--submit", "1:cms:500"},
     {{kCmgs, kPrompt}, {kPdu + kCtrlZ, "\r\n+CMS ERROR: 500\r\n"}}},
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
                       "--link /tmp/x --stored-message Ok:\xff"};
  for (const char* args : bad) EXPECT_EQ(2, RunSim(args)) << args;
}

bool LinkExists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
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

}  // namespace
