// The serial port against the simulated modem: states, exclusivity, paced
// writes and the two reply waits.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

#include "modem/ComPort.h"
#include "platform/Clock.h"
#include "support/LogFiles.h"
#include "support/SimProcess.h"
#include "support/TempDir.h"
#include "support/Wine.h"

namespace {

using testing_support::LogTexts;
using testing_support::SimProcess;
using State = platform::SerialDevice::State;

constexpr int kSimPort = 7;
constexpr int kMissingPort = 250;

class ComPortTest : public ::testing::Test {
 protected:
  void SetUp() override { m_dir.UseAsProgramFolder(); }

  std::vector<std::string> Modem(const char* source) const {
    return LogTexts(m_dir.Path(), "modem", source);
  }
  // The "IN" lines of the port under test; their texts may hold line ends.
  size_t InLines() const {
    std::string log = testing_support::ReadTodaysLog(m_dir.Path(), "modem");
    size_t lines = 0;
    for (size_t at = log.find(" IN 7 "); at != std::string::npos; at = log.find(" IN 7 ", at + 1)) {
      ++lines;
    }
    return lines;
  }

  testing_support::TempDir m_dir;
  CComPort m_port;
};

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now() - start)
      .count();
}

TEST_F(ComPortTest, OpenWithoutDeviceCountsAsOpenButMovesNoBytes) {
  ASSERT_NE(m_port.Open(0), 0);
  EXPECT_NE(m_port.IsOpen(), 0);
  EXPECT_EQ(m_port.PortNumber(), 0);
  EXPECT_EQ(m_port.HandleState(), State::Null);
  EXPECT_EQ(m_port.Transmit("at\r", 3, 0), 0);
  char buffer[16];
  EXPECT_EQ(m_port.Receive(buffer, sizeof buffer), 0);
  EXPECT_EQ(Modem("OUT"), std::vector<std::string>{"at\r"});  // no code for port 0
  EXPECT_TRUE(Modem("IN").empty());
  EXPECT_NE(m_port.Close(), 0);
  EXPECT_EQ(m_port.IsOpen(), 0);
}

TEST_F(ComPortTest, FailedOpenKeepsNumberAndFlagAndCloseOnlyClearsTheFlag) {
  ASSERT_NE(m_port.Open(0), 0);
  EXPECT_EQ(m_port.Open(kMissingPort), 0);
  EXPECT_NE(m_port.IsOpen(), 0);
  EXPECT_EQ(m_port.PortNumber(), 0);
  EXPECT_EQ(m_port.HandleState(), State::Failed);
  EXPECT_NE(m_port.Close(), 0);
  EXPECT_EQ(m_port.IsOpen(), 0);
  EXPECT_EQ(m_port.HandleState(), State::Failed);  // until the next Open
  EXPECT_NE(m_port.FailureReason(), "") << "the system's reason, kept after Close";
}

TEST_F(ComPortTest, OpenOnADeviceAndCloseAgain) {
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  EXPECT_EQ(m_port.Open(kMissingPort), 0);
  ASSERT_NE(m_port.Open(kSimPort), 0);
  EXPECT_EQ(m_port.PortNumber(), kSimPort);
  EXPECT_EQ(m_port.HandleState(), State::Valid);
  EXPECT_EQ(m_port.FailureReason(), "") << "an open that succeeds clears the last failure";
  m_port.Close();
  EXPECT_EQ(m_port.PortNumber(), 0);
  EXPECT_EQ(m_port.IsOpen(), 0);
  EXPECT_EQ(m_port.HandleState(), State::Null);
  EXPECT_NE(m_port.Open(kSimPort), 0) << "a closed port opens again";
  m_port.Close();
}

TEST_F(ComPortTest, SecondOpenOfAHeldPortFails) {
  if (testing_support::RunningUnderWine()) {
    GTEST_SKIP() << "Wine does not make serial opens exclusive";
  }
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  ASSERT_NE(m_port.Open(kSimPort), 0);
  CComPort other;
  EXPECT_EQ(other.Open(kSimPort), 0);
  m_port.Close();
  EXPECT_NE(other.Open(kSimPort), 0) << "free again once closed";
  other.Close();
}

TEST_F(ComPortTest, ChunkedWritePausesBetweenPieces) {
  SimProcess sim(kSimPort, {"--silent"});
  ASSERT_TRUE(sim.Started());
  ASSERT_NE(m_port.Open(kSimPort), 0);
  std::string data(70, 'x');
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(m_port.WriteChunked(data.c_str(), 70, 32), 70);
  long long paced = MillisecondsSince(start);
  EXPECT_GE(paced, 400);  // 32, 32 and 6 bytes, 200 ms between two
  EXPECT_LT(paced, 580) << "no pause after the last piece: the reply is read at once";

  start = std::chrono::steady_clock::now();
  EXPECT_EQ(m_port.WriteChunked(data.c_str(), 70, 0), 70);
  EXPECT_LT(MillisecondsSince(start), 150);
  m_port.SetPiecePause(0);  // a modern modem: pieces of any size in one write
  start = std::chrono::steady_clock::now();
  EXPECT_EQ(m_port.WriteChunked(data.c_str(), 70, 32), 70);
  EXPECT_LT(MillisecondsSince(start), 150);
  EXPECT_EQ(m_port.WriteChunked(data.c_str(), 0, 32), 0);
  m_port.Close();
}

// Reads the answer to the command just sent by rule, for at most limitMs.
reply::Answer AwaitAnswer(CComPort& port, reply::AnswerRule rule, uint32_t limitMs,
                          bool silence = false, CComPort::WaitEnd* end = nullptr) {
  reply::CAnswerReader reader(std::move(rule));
  const CComPort::WaitEnd ended = port.Await(reader, limitMs, silence);
  if (end != nullptr) *end = ended;
  return reader.Result();
}

TEST_F(ComPortTest, AnErrorEndsTheWaitAtOnce) {
  SimProcess sim(kSimPort, {"--echo", "0"});
  ASSERT_TRUE(sim.Started());
  ASSERT_NE(m_port.Open(kSimPort), 0);
  m_port.Transmit("at+nosuch\r", 10, 0);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(AwaitAnswer(m_port, {}, 10000).final.kind, reply::Final::Error);
  EXPECT_LT(MillisecondsSince(start), 2000);
  m_port.Close();
}

TEST_F(ComPortTest, ASubmissionGivesItsPromptThenItsReference) {
  SimProcess sim(kSimPort, {"--ref", "42"});
  ASSERT_TRUE(sim.Started());
  ASSERT_NE(m_port.Open(kSimPort), 0);
  m_port.Transmit("at+cmgs=19\r", 11, 0);
  reply::AnswerRule prompt;
  prompt.prompt = true;
  prompt.echo = "at+cmgs=19";
  ASSERT_TRUE(AwaitAnswer(m_port, prompt, 10000, true).prompt);
  const char pdu[] = "0011000B912143658709F10000AA05C8329BFD06\x1A";
  ASSERT_EQ(m_port.Transmit(pdu, 41, 32), 41);
  reply::AnswerRule final;
  final.prefixes = {"+CMGS:"};
  final.echo = "0011000B912143658709F10000AA05C8329BFD06";
  const reply::Answer answer = AwaitAnswer(m_port, final, 30000);
  EXPECT_EQ(answer.final.kind, reply::Final::Ok);
  EXPECT_EQ(answer.lines, std::vector<std::string>{"+CMGS: 42"});
  m_port.Close();
}

// The prompt as modems send it, and what must not pass for one.
TEST_F(ComPortTest, WaitForThePromptEndsOnItOnARefusalOrOnSilence) {
  struct Case {
    std::vector<std::string> args;
    bool found;
    long long atMostMs;  // the limit is 2000 ms of silence
  };
  const Case cases[] = {
      {{"--unsolicited", "\\r\\nRING\\r\\n"}, true, 1000},
      {{"--prompt", "\\r\\n>\\r\\n", "--noise", "\\x00"}, true, 1000},
      {{"--prompt", "\\r\\nat+cmgs>14\\r\\n"}, false, 3000},
      {{"--refuse", "+CMS ERROR: 311"}, false, 1000},
      {{"--refuse", "+CME ERROR: SIM PIN required"}, false, 1000},
      {{"--refuse", "ERROR"}, false, 1000},
  };
  reply::AnswerRule rule;
  rule.prompt = true;
  rule.echo = "at+cmgs=14";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    SimProcess sim(kSimPort, c.args);
    ASSERT_TRUE(sim.Started());
    ASSERT_NE(m_port.Open(kSimPort), 0);
    m_port.Transmit("at+cmgs=14\r", 11, 0);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(AwaitAnswer(m_port, rule, 2000, true).prompt, c.found);
    EXPECT_LT(MillisecondsSince(start), c.atMostMs);
    m_port.Transmit("\x1B", 1, 0);
    m_port.Close();
  }
}

TEST_F(ComPortTest, ASilenceLimitCountsSilenceNotTotalTime) {
  // The reply trickles in one byte per 80 ms: no gap reaches the 200 ms
  // silence limit, so the wait lasts until the OK, well past 200 ms.
  SimProcess sim(kSimPort, {"--split", "1:80"});
  ASSERT_TRUE(sim.Started());
  ASSERT_NE(m_port.Open(kSimPort), 0);
  m_port.Transmit("at\r", 3, 0);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(AwaitAnswer(m_port, {}, 200, true).final.kind, reply::Final::Ok);
  EXPECT_GE(MillisecondsSince(start), 250);
  m_port.Close();
}

TEST_F(ComPortTest, TheWaitEndsAtItsLimitWhenNothingArrives) {
  SimProcess sim(kSimPort, {"--silent"});
  ASSERT_TRUE(sim.Started());
  ASSERT_NE(m_port.Open(kSimPort), 0);
  auto start = std::chrono::steady_clock::now();
  CComPort::WaitEnd end = CComPort::WaitEnd::Answered;
  AwaitAnswer(m_port, {}, 250, true, &end);
  EXPECT_EQ(end, CComPort::WaitEnd::Limit);
  EXPECT_GE(MillisecondsSince(start), 240);  // two clocks, rounded apart
  EXPECT_FALSE(m_port.HeardGarbage());
  m_port.Close();
}

// The tick of a process that sleeps through a wait's whole limit: the first
// reading starts the wait; the second, taken after the wait's first read
// found nothing, sends the command, "sleeps" until its answer has arrived and
// finds the limit passed.
CComPort* g_sleeper = nullptr;
int g_sleeperTicks = 0;

uint32_t SleepThroughTheLimit() {
  if (++g_sleeperTicks == 2) {
    g_sleeper->Transmit("at\r", 3, 0);
    g_sleeper->WaitForInput(10000);
  }
  return g_sleeperTicks == 1 ? 0 : 100000;
}

// A process suspended (or a PC asleep) through the whole limit: the answer
// that came meanwhile is read before the wait gives up.
TEST_F(ComPortTest, AnAnswerThatCameWhileTheProcessSleptIsRead) {
  SimProcess sim(kSimPort, {"--echo", "0"});
  ASSERT_TRUE(sim.Started());
  ASSERT_NE(m_port.Open(kSimPort), 0);
  g_sleeper = &m_port;
  g_sleeperTicks = 0;
  platform::SetTickSourceForTests(&SleepThroughTheLimit);
  const reply::Answer answer = AwaitAnswer(m_port, {}, 30000);
  platform::SetTickSourceForTests(nullptr);
  EXPECT_EQ(answer.final.kind, reply::Final::Ok);
  m_port.Close();
}

TEST_F(ComPortTest, ZeroBytesHideNeitherTheReplyNorItsLogLine) {
  SimProcess sim(kSimPort, {"--echo", "0", "--noise", "\\x00", "--split", "4:100"});
  ASSERT_TRUE(sim.Started());
  ASSERT_NE(m_port.Open(kSimPort), 0);
  m_port.Transmit("at\r", 3, 0);
  EXPECT_EQ(AwaitAnswer(m_port, {}, 5000).final.kind, reply::Final::Ok);
  m_port.Close();
  // "\0\r\nO" and "K\r\n": the first chunk begins with the zero byte.
  EXPECT_EQ(InLines(), 2u);
  EXPECT_NE(testing_support::ReadTodaysLog(m_dir.Path(), "modem").find(" IN 7 \r\nO\r\n"),
            std::string::npos);
}

TEST_F(ComPortTest, ReplyInThreePiecesGivesThreeInLines) {
  SimProcess sim(kSimPort, {"--echo", "0", "--split", "2:150"});
  ASSERT_TRUE(sim.Started());
  ASSERT_NE(m_port.Open(kSimPort), 0);
  m_port.Transmit("at\r", 3, 0);
  EXPECT_EQ(AwaitAnswer(m_port, {}, 5000).final.kind, reply::Final::Ok);
  m_port.Close();
  EXPECT_EQ(InLines(), 3u);
}

// No buffer size decides whether a reply is seen: 10 KiB of notices come
// before the OK, and the answer still counts.
TEST_F(ComPortTest, AReplyBehindTenKibOfNoticesIsRead) {
  std::string notices;
  while (notices.size() < 10 * 1024) notices += "\\r\\n^RSSI:17\\r\\n";
  SimProcess sim(kSimPort, {"--echo", "0", "--unsolicited", notices});
  ASSERT_TRUE(sim.Started());
  ASSERT_NE(m_port.Open(kSimPort), 0);
  m_port.Transmit("at\r", 3, 0);
  EXPECT_EQ(AwaitAnswer(m_port, {}, 5000).final.kind, reply::Final::Ok);
  m_port.Close();
}

}  // namespace
