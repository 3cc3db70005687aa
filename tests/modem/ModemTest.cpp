// The AT dialogue of one submission against the simulated modem: what goes
// out, what each reply means, and what is logged.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "modem/Modem.h"
#include "modem/Pdu.h"
#include "support/FastClock.h"
#include "support/LogFiles.h"
#include "support/SimProcess.h"
#include "support/TempDir.h"

namespace {

using testing_support::LogTexts;
using testing_support::SimProcess;
using Strings = std::vector<std::string>;

constexpr int kSimPort = 8;
const char kNumber[] = "+12345678901";
const char kHelloPdu[] = "0011000B912143658709F10000AA05C8329BFD06";

// Cyrillic letters in code page 1251.
std::string Cyrillic(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += static_cast<char>(0xC0 + i % 64);
  return text;
}

class ModemTest : public ::testing::Test {
 protected:
  void SetUp() override { m_dir.UseAsProgramFolder(); }

  // Captures the simulator started with the given habits and faults and
  // sends once; the refusal and the time SendSMS took are kept.
  int Send(const std::vector<std::string>& simArgs, const char* number, const std::string& text) {
    m_sim.reset();  // one simulator per port at a time
    m_sim = std::make_unique<SimProcess>(kSimPort, simArgs);
    if (!m_sim->Started()) return -1;
    int ready = 0;
    m_modem.CaptureModemDevice(ready, kSimPort);
    if (!ready) return -2;
    auto start = std::chrono::steady_clock::now();
    int reference = m_modem.SendSMS(number, text.c_str(), &m_result);
    m_cause = m_result.cause;
    m_sendMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start).count();
    m_modem.ReleaseModemDevice();
    return reference;
  }
  Strings Engine(const char* source) const { return LogTexts(m_dir.Path(), "engine", source); }
  Strings Mess(const char* number) const { return LogTexts(m_dir.Path(), "mess", number); }
  std::vector<testing_support::SimSubmission> Submissions() const { return m_sim->Submissions(); }

  testing_support::TempDir m_dir;
  std::unique_ptr<SimProcess> m_sim;
  CModem m_modem;
  CSendResult m_result;
  std::string m_cause;
  long long m_sendMs = 0;
};

TEST_F(ModemTest, LatinTextGoesAsOne7BitPdu) {
  EXPECT_EQ(Send({"--ref", "17"}, "+1 (234) 567-89-01", "Hello"), 17);
  auto sent = Submissions();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].announcedLength, 19);
  EXPECT_EQ(sent[0].pdu, kHelloPdu);
  EXPECT_EQ(Engine("SendSMS"), (Strings{"+12345678901", "Hello", "OK"}));
  EXPECT_EQ(Mess(kNumber), Strings{"OK"});
}

TEST_F(ModemTest, SeventyCyrillicCharactersGoAsOneUcs2Pdu) {
  EXPECT_EQ(Send({}, kNumber, Cyrillic(70)), 1);
  auto sent = Submissions();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].pdu.substr(0, 30), "0011000B912143658709F10008AA8C");
  EXPECT_EQ(sent[0].pdu.substr(30, 8), "04100411");  // А Б
  EXPECT_EQ(sent[0].announcedLength, 14 + 140);
}

TEST_F(ModemTest, SeventyOneCyrillicCharactersGoAsTwoPartsOfOneMessage) {
  EXPECT_EQ(Send({"--ref", "5"}, kNumber, Cyrillic(71)), 6);  // the last part's reference
  auto sent = Submissions();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].pdu.substr(0, 30), "0051000B912143658709F10008AA8C");
  EXPECT_EQ(sent[1].pdu.substr(0, 30), "0051000B912143658709F10008AA0E");
  EXPECT_EQ(sent[0].pdu.substr(30, 6), "050003");
  EXPECT_EQ(sent[0].pdu.substr(36, 2), sent[1].pdu.substr(36, 2)) << "one concatenation reference";
  EXPECT_EQ(sent[0].pdu.substr(38, 4), "0201");
  EXPECT_EQ(sent[1].pdu.substr(38, 4), "0202");
}

// The first part has reached the phone: sending the message again would
// repeat it, so the message is unconfirmed, not failed.
TEST_F(ModemTest, RefusedSecondPartStopsTheMessageUnconfirmed) {
  std::string latin(161, 'a');  // three UCS2 parts of 67, 67 and 27
  EXPECT_EQ(Send({"--submit", "2:error"}, kNumber, latin), 0);
  EXPECT_EQ(Submissions().size(), 2u) << "no third part";
  EXPECT_EQ(m_result.outcome, SendOutcome::Unconfirmed);
  EXPECT_EQ(m_cause, "part 2 of 3 not sent (ERROR), the parts before it went out");
  EXPECT_EQ(Mess(kNumber), Strings{"UNCONFIRMED"});
}

// A plain ERROR names no cause; silence after Ctrl-Z leaves the message
// unconfirmed: the modem has it and it may be on its way.
TEST_F(ModemTest, RepliesThatMeanRefusedOrUnconfirmed) {
  testing_support::FastClock fast(100);  // the 120 s limit passes in 1.2 s
  struct Case {
    Strings fault;
    SendOutcome outcome;
    const char* logged;
    const char* cause;
  };
  const Case cases[] = {
      {{"--submit", "1:error"}, SendOutcome::Refused, "FAILED", "ERROR"},
      {{"--refuse", "ERROR"}, SendOutcome::Refused, "FAILED", "ERROR"},
      {{"--submit", "1:silent"}, SendOutcome::Unconfirmed, "UNCONFIRMED",
       "no confirmation within 120 s"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault[1]);
    EXPECT_EQ(Send(c.fault, kNumber, "Hello"), 0);
    EXPECT_EQ(m_result.outcome, c.outcome);
    EXPECT_EQ(Engine("SendSMS").back(), c.logged);
    EXPECT_EQ(m_cause, c.cause);
  }
}

// A refusal is a final answer: it ends the wait at once (the limits are 10 s
// at the prompt and 30 s for the final reply), and its cause is named.
TEST_F(ModemTest, RefusalsEndAtOnceAndNameTheirCause) {
  struct Case {
    Strings simArgs;
    const char* cause;
  };
  const Case cases[] = {
      {{"--submit", "1:cms:38"}, "+CMS ERROR: 38 (network out of order)"},
      {{"--submit", "1:cme:13"}, "+CME ERROR: 13 (SIM failure)"},
      {{"--submit", "1:cms:Network out of order"}, "+CMS ERROR: Network out of order"},
      {{"--profile", "pin-locked"}, "+CMS ERROR: 311 (SIM PIN required)"},
      {{"--refuse", "+CME ERROR: SIM PIN required"}, "+CME ERROR: SIM PIN required"},
      {{"--refuse", "+CMS ERROR: 331", "--profile", "usb-stick"},
       "+CMS ERROR: 331 (no network service)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cause);
    EXPECT_EQ(Send(c.simArgs, kNumber, "Hello"), 0);
    EXPECT_EQ(m_cause, c.cause);
    EXPECT_EQ(m_result.outcome, SendOutcome::Refused);
    Strings steps = Engine("SendSMS");
    ASSERT_GE(steps.size(), 2u);
    EXPECT_EQ(steps[steps.size() - 2], std::string("refused: ") + c.cause);
    EXPECT_EQ(steps.back(), "FAILED");
    EXPECT_LT(m_sendMs, 1500) << "the PDU text takes 200 ms; the refusal comes at once";
  }
  EXPECT_EQ(Mess(kNumber).size(), std::size(cases));
}

// TP-MR wraps round: "+CMGS: 0" is a message that went out like any other.
TEST_F(ModemTest, ReferencesThatWrapThroughZeroAreSent) {
  SimProcess sim(kSimPort, {"--profile", "wrapping"});
  ASSERT_TRUE(sim.Started());
  int ready = 0;
  m_modem.CaptureModemDevice(ready, kSimPort);
  ASSERT_EQ(ready, 1);
  std::vector<int> references;
  for (int i = 0; i < 4; ++i) references.push_back(m_modem.SendSMS(kNumber, "Hello"));
  m_modem.ReleaseModemDevice();
  EXPECT_EQ(references, (std::vector<int>{254, 255, pdu::kReportedZero, 1}));
  EXPECT_EQ(Mess(kNumber), (Strings{"OK", "OK", "OK", "OK"}));
  EXPECT_NE(testing_support::ReadTodaysLog(m_dir.Path(), "modem").find("+CMGS: 0"),
            std::string::npos) << "the modem log keeps the number reported";

  // A first part reported as 0 is followed by the second.
  EXPECT_EQ(Send({"--ref", "0"}, kNumber, Cyrillic(71)), 1);
  EXPECT_EQ(Submissions().size(), 2u);
  EXPECT_EQ(Send({"--submit", "1:ref0"}, kNumber, "Hello"), pdu::kReportedZero);
}

TEST_F(ModemTest, MissingPromptDropsTheMessageWithEscapeAndTheNextCaptureWorks) {
  testing_support::FastClock fast(100);  // the 10 s prompt limit passes in 0.1 s
  EXPECT_EQ(Send({"--submit", "1:noprompt"}, kNumber, "Hello"), 0);
  auto sent = Submissions();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].answer, "escaped");
  int ready = 0;
  m_modem.CaptureModemDevice(ready, kSimPort);
  EXPECT_EQ(ready, 1) << "the modem is no longer waiting for PDU text";
  EXPECT_NE(m_modem.SendSMS(kNumber, "Hello"), 0);
  m_modem.ReleaseModemDevice();
}

// The habits of real devices. The PDU text of 20 Cyrillic letters (109 bytes
// with Ctrl-Z) takes 600 ms to type, so that unsolicited lines also fall
// between the prompt and the final reply, and would overrun the old phone
// without the pacing.
TEST_F(ModemTest, NoisyRepliesStillCount) {
  const std::vector<Strings> noise = {
      {"--unsolicited", "\\r\\nRING\\r\\n"},
      {"--unsolicited-inside", "\\r\\n+CMTI: \\\"SM\\\",1\\r\\n"},
      {"--split", "3:20"},
      {"--echo", "0"},
      {"--text-echo"},
      {"--noise", "\\x00"},
      {"--profile", "noisy-line", "--split", "1:2"},
      {"--prompt", "\\r\\n>\\r\\n"},
      {"--profile", "usb-stick"},
      {"--profile", "lte-module"},
      {"--profile", "old-phone"}};
  for (const Strings& args : noise) {
    SCOPED_TRACE(args.back());
    EXPECT_EQ(Send(args, kNumber, Cyrillic(20)), 1) << m_cause;
    EXPECT_EQ(Submissions().size(), 1u);
    EXPECT_EQ(Engine("SendSMS").back(), "OK");
  }
}

// A run killed (or a power cut) while the modem waited for PDU text left it
// in text input: the capture's ESC drops that text, and the message goes out.
TEST_F(ModemTest, ModemLeftInTextInputIsCapturedAndSends) {
  EXPECT_EQ(Send({"--profile", "killed-run"}, kNumber, "Hello"), 1);
  auto sent = Submissions();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].index, 0) << "the text left over";
  EXPECT_EQ(sent[0].answer, "escaped");
  EXPECT_EQ(sent[1].answer, "ok 1");
  Strings out = LogTexts(m_dir.Path(), "modem", "OUT 8");
  ASSERT_GE(out.size(), 2u);
  EXPECT_EQ(out[0], "\x1B");
  EXPECT_EQ(out[1], "at\r");
}

// The network may take its time: 8 to 15 s, while the modem goes on sending
// unsolicited lines. The 30 s limit holds.
TEST_F(ModemTest, SlowNetworkStillCounts) {
  EXPECT_EQ(Send({"--profile", "slow-network", "--profile", "usb-stick"}, kNumber, "Hello"), 1);
  EXPECT_GE(m_sendMs, 8000);
  EXPECT_NE(m_sim->Transcript().find("^RSSI"), std::string::npos);
}

// Habits of real modems that once ended in a false report or a give-up. The
// clock runs ten times fast: a 4 s answer stands for the 40 s of a congested
// network, past the 30 s an older Varnek waited, within the 120 s it waits
// now; the busy stick's 2.3 s for its 23 s.
TEST_F(ModemTest, RealModemHabitsEndTruly) {
  testing_support::FastClock fast(10);
  struct Case {
    const char* habit;
    Strings simArgs;
    std::string text;
    SendOutcome outcome;
    const char* cause;
    size_t submissions;  // in the simulator's record
  };
  const std::string longLatin(161, 'a');  // three UCS2 parts
  const Case cases[] = {
      {"+CMGS without the blank", {"--profile", "tight-phone"}, "Hello", SendOutcome::Sent, "", 1},
      {"+CMGS with its fields", {"--profile", "cmgs-fields"}, "Hello", SendOutcome::Sent, "", 1},
      {"a late confirmation", {"--submit", "1:delay:4000"}, "Hello", SendOutcome::Sent, "", 1},
      {"10 KiB before the prompt", {"--profile", "chatty-module"}, "Hello", SendOutcome::Sent, "",
       1},
      {"a long message on a busy stick",
       {"--profile", "busy-stick", "--submit", "3:delay:2300"}, longLatin, SendOutcome::Sent, "",
       3},
      {"a service centre to write back", {"--profile", "blank-smsc"}, "Hello", SendOutcome::Sent,
       "", 2},
      {"a SIM busy after power-up", {"--profile", "cold-start"}, "Hello", SendOutcome::Refused,
       "+CMS ERROR: 314 (SIM busy)", 1},
      {"text mode only, a long message", {"--profile", "text-only"}, longLatin,
       SendOutcome::Invalid, "the modem takes text mode only, which sends no message of 3 parts",
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.habit);
    Send(c.simArgs, kNumber, c.text);
    EXPECT_EQ(m_result.outcome, c.outcome);
    EXPECT_EQ(m_cause, c.cause);
    EXPECT_EQ(Submissions().size(), c.submissions);
  }
}

// The text-mode dialogue: the coding and the character set set first, the
// number in quotes, no PDU anywhere.
TEST_F(ModemTest, ATextModeOnlyModemGetsTheTextModeDialogue) {
  EXPECT_EQ(Send({"--profile", "text-only"}, kNumber, "Hello"), 1);
  // Line by line: how the pieces fell into reads does not matter.
  std::string received;
  for (const std::string& piece : m_sim->Received()) received += piece;
  EXPECT_EQ(received, "\\x1bat\\rat+cmgf=0\\rat+cmgf?\\rat+cmgf=1\\rat+cmgf?\\r"
                      "AT+CSCS=\"IRA\"\\rAT+CSMP=17,167,0,0\\rAT+CMGS=\"+12345678901\",145\\r"
                      "Hello\\x1a");
  EXPECT_EQ(Send({"--profile", "text-only"}, kNumber, "\xCF\xF0\xE8\xE2\xE5\xF2"), 1)  // Привет
      << m_cause;
  auto sent = Submissions();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_TRUE(sent[0].TextMode());
  EXPECT_EQ(sent[0].Mark("number"), "+12345678901");
  EXPECT_EQ(sent[0].Mark("text"), u8"Привет");  // the record is UTF-8
  EXPECT_EQ(sent[0].Mark("cscs"), "UCS2");
}

TEST_F(ModemTest, AModemAtAnotherSpeedIsNamedAsSuch) {
  SimProcess sim(kSimPort, {"--profile", "fixed-9600"});
  ASSERT_TRUE(sim.Started());
  m_modem.SetBaudRate(115200);
  int ready = 0;
  m_modem.CaptureModemDevice(ready, kSimPort);
  EXPECT_EQ(ready, 0);
  EXPECT_EQ(m_modem.FailureReason(),
            "the modem answers garbage: the speed may be wrong (the port is set to 115200 bit/s)");
  m_modem.ReleaseModemDevice();
  m_modem.SetBaudRate(9600);
  m_modem.CaptureModemDevice(ready, kSimPort);
  EXPECT_EQ(ready, 1);
  m_modem.ReleaseModemDevice();
}

TEST_F(ModemTest, WrongLengthFailsBeforeAnythingIsSent) {
  EXPECT_EQ(Send({}, "1234567890", Cyrillic(3)), 0);
  EXPECT_TRUE(Submissions().empty());
  EXPECT_EQ(Mess("1234567890"), Strings{"FAILED"});
  EXPECT_EQ(Send({}, "1234567890", "Hi"), 1) << "7-bit puts a 7 in front";
  EXPECT_EQ(Submissions()[0].pdu.substr(10, 12), "1732547698F0");  // 71234567890
}

TEST_F(ModemTest, ClosedPortSendsAndLogsNothing) {
  EXPECT_EQ(m_modem.SendSMS(kNumber, "Hello"), 0);
  EXPECT_TRUE(testing_support::ReadTodaysLog(m_dir.Path(), "engine").empty());
}

TEST_F(ModemTest, InitModemNeedsOkToAtAndAConfirmedMode) {
  SimProcess refusing(kSimPort, {"--text-mode-only"});
  ASSERT_TRUE(refusing.Started());
  ASSERT_NE(m_modem.Open(kSimPort), 0);
  EXPECT_EQ(m_modem.InitModem(), 1);
  EXPECT_EQ(m_modem.Mode(), CModem::MessageMode::Text) << "PDU mode refused, text mode taken";
  m_modem.Close();

  testing_support::FastClock fast(100);
  SimProcess silentAt(kSimPort + 1, {"--command", "AT:silent"});
  ASSERT_TRUE(silentAt.Started());
  ASSERT_NE(m_modem.Open(kSimPort + 1), 0);
  EXPECT_EQ(m_modem.InitModem(), 0);
  EXPECT_EQ(m_modem.FailureReason(), "no answer to AT");
  m_modem.Close();
}

TEST_F(ModemTest, WideTextOutsideTheCodePageSendsAQuestionMark) {
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  int ready = 0;
  m_modem.CaptureModemDevice(ready, kSimPort);
  ASSERT_EQ(ready, 1);
  int reference = 0;
  m_modem.SendSMSWide(u"+12345678901", u"Hi\u4E2D\u0416", reference);
  m_modem.ReleaseModemDevice();
  EXPECT_EQ(reference, 1);
  EXPECT_EQ(Engine("SendSMS")[1], "Hi?\xC6");  // Ж is in the code page
}

}  // namespace
