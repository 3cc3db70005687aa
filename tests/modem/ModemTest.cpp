// The AT dialogue of one submission against the simulated modem: what goes
// out, what each reply means, and what is logged.
#include <gtest/gtest.h>

#include <string>

#include "modem/Modem.h"
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

  // Captures the simulator started with the given faults and sends once.
  int Send(const std::vector<std::string>& simArgs, const char* number, const std::string& text) {
    m_sim.reset();  // one simulator per port at a time
    m_sim = std::make_unique<SimProcess>(kSimPort, simArgs);
    if (!m_sim->Started()) return -1;
    int ready = 0;
    m_modem.CaptureModemDevice(ready, kSimPort);
    if (!ready) return -2;
    int reference = m_modem.SendSMS(number, text.c_str());
    m_modem.ReleaseModemDevice();
    return reference;
  }
  Strings Engine(const char* source) const { return LogTexts(m_dir.Path(), "engine", source); }
  Strings Mess(const char* number) const { return LogTexts(m_dir.Path(), "mess", number); }
  std::vector<testing_support::SimSubmission> Submissions() const { return m_sim->Submissions(); }

  testing_support::TempDir m_dir;
  std::unique_ptr<SimProcess> m_sim;
  CModem m_modem;
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

TEST_F(ModemTest, RefusedSecondPartStopsTheMessageAndFailsOnce) {
  std::string latin(161, 'a');  // three UCS2 parts of 67, 67 and 27
  EXPECT_EQ(Send({"--submit", "2:error"}, kNumber, latin), 0);
  EXPECT_EQ(Submissions().size(), 2u) << "no third part";
  EXPECT_EQ(Engine("SendSMS").back(), "FAILED");
  EXPECT_EQ(Mess(kNumber), Strings{"FAILED"});
}

TEST_F(ModemTest, RepliesThatMeanNotSent) {
  testing_support::FastClock fast(100);  // the 30 s limit passes in 0.3 s
  const std::vector<Strings> faults = {
      {"--submit", "1:ref0"}, {"--submit", "1:error"}, {"--submit", "1:cms:500"},
      {"--submit", "1:silent"}};
  for (const Strings& fault : faults) {
    SCOPED_TRACE(fault[1]);
    EXPECT_EQ(Send(fault, kNumber, "Hello"), 0);
    EXPECT_EQ(Engine("SendSMS").back(), "FAILED");
  }
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

TEST_F(ModemTest, NoisyRepliesStillCount) {
  const std::vector<Strings> noise = {
      {"--unsolicited", "\\r\\nRING\\r\\n"},
      {"--unsolicited-inside", "\\r\\n+CMTI: \\\"SM\\\",1\\r\\n"},
      {"--split", "3:20"},
      {"--echo", "0"}};
  for (const Strings& args : noise) {
    SCOPED_TRACE(args[0]);
    EXPECT_EQ(Send(args, kNumber, "Hello"), 1);
  }
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

TEST_F(ModemTest, InitModemNeedsOkToAtButNotToThePduMode) {
  SimProcess refusing(kSimPort, {"--command", "AT+CMGF=0:error"});
  ASSERT_TRUE(refusing.Started());
  ASSERT_NE(m_modem.Open(kSimPort), 0);
  EXPECT_EQ(m_modem.InitModem(), 1);
  m_modem.Close();

  testing_support::FastClock fast(100);
  SimProcess silentAt(kSimPort + 1, {"--command", "AT:silent"});
  ASSERT_TRUE(silentAt.Started());
  ASSERT_NE(m_modem.Open(kSimPort + 1), 0);
  EXPECT_EQ(m_modem.InitModem(), 0);
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
