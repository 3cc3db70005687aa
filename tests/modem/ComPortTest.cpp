// The serial port against the simulated modem: states, exclusivity, paced
// writes and the two reply waits.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

#include "modem/ComPort.h"
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

TEST_F(ComPortTest, WaitForOkEndsAtOnceOnError) {
  SimProcess sim(kSimPort, {"--echo", "0"});
  ASSERT_TRUE(sim.Started());
  ASSERT_NE(m_port.Open(kSimPort), 0);
  char buffer[1024];
  m_port.Transmit("at+nosuch\r", 10, 0);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(m_port.WaitForOk(buffer, sizeof buffer, 10000, nullptr), 0);
  EXPECT_LT(MillisecondsSince(start), 2000);
  EXPECT_STREQ(buffer, "\r\nERROR\r\n");
  m_port.Close();
}

TEST_F(ComPortTest, WaitForOkGivesTheCountOfACompleteSubmissionReply) {
  SimProcess sim(kSimPort, {"--ref", "42"});
  ASSERT_TRUE(sim.Started());
  ASSERT_NE(m_port.Open(kSimPort), 0);
  char prompt[100];
  const char command[] = "at+cmgs=19\r";
  m_port.Transmit(command, 11, 0);
  ASSERT_EQ(m_port.WaitFor(prompt, sizeof prompt, ">", 10000), 1);
  const char pdu[] = "0011000B912143658709F10000AA05C8329BFD06\x1A";
  ASSERT_EQ(m_port.Transmit(pdu, 41, 32), 41);
  char reply[1024];
  int count = m_port.WaitForOk(reply, sizeof reply, 30000, nullptr);
  EXPECT_EQ(count, static_cast<int>(std::strlen(reply)));
  EXPECT_NE(std::strstr(reply, "+CMGS: 42\r\n"), nullptr);
  EXPECT_EQ(std::string(reply).substr(std::strlen(reply) - 6), "\r\nOK\r\n");
  m_port.Close();
}

TEST_F(ComPortTest, WaitForOkStopsAtTheStopText) {
  SimProcess sim(kSimPort, {"--echo", "0", "--command", "AT+CMGF=0:error"});
  ASSERT_TRUE(sim.Started());
  ASSERT_NE(m_port.Open(kSimPort), 0);
  char buffer[1024];
  m_port.Transmit("at+cmgf=0\r", 10, 0);
  EXPECT_EQ(m_port.WaitForOk(buffer, sizeof buffer, 10000, "ERROR"), 0);
  EXPECT_NE(std::strstr(buffer, "ERROR"), nullptr);
  m_port.Close();
}

// The prompt as modems send it, and what must not pass for one.
TEST_F(ComPortTest, WaitForThePromptEndsOnItOnARefusalOrOnSilence) {
  struct Case {
    std::vector<std::string> args;
    int found;
    long long atMostMs;  // the limit is 2000 ms of silence
  };
  const Case cases[] = {
      {{"--unsolicited", "\\r\\nRING\\r\\n"}, 1, 1000},
      {{"--prompt", "\\r\\n>\\r\\n", "--noise", "\\x00"}, 1, 1000},
      {{"--prompt", "\\r\\nat+cmgs>14\\r\\n"}, 0, 3000},
      {{"--refuse", "+CMS ERROR: 311"}, 0, 1000},
      {{"--refuse", "+CME ERROR: SIM PIN required"}, 0, 1000},
      {{"--refuse", "ERROR"}, 0, 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    SimProcess sim(kSimPort, c.args);
    ASSERT_TRUE(sim.Started());
    ASSERT_NE(m_port.Open(kSimPort), 0);
    char buffer[100];
    m_port.Transmit("at+cmgs=14\r", 11, 0);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(m_port.WaitFor(buffer, sizeof buffer, ">", 2000), c.found);
    EXPECT_LT(MillisecondsSince(start), c.atMostMs);
    EXPECT_NE(std::strstr(buffer, "at+cmgs=14\r"), nullptr) << "the echo came first";
    m_port.Transmit("\x1B", 1, 0);
    m_port.Close();
  }
}

TEST_F(ComPortTest, WaitForCountsSilenceNotTotalTime) {
  // The echo and the reply (9 bytes) trickle in one byte per 80 ms: no gap
  // reaches the 300 ms silence limit, so the wait lasts the whole reply.
  SimProcess sim(kSimPort, {"--split", "1:80"});
  ASSERT_TRUE(sim.Started());
  ASSERT_NE(m_port.Open(kSimPort), 0);
  char buffer[100];
  m_port.Transmit("at\r", 3, 0);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(m_port.WaitFor(buffer, sizeof buffer, "never", 300), 0);
  EXPECT_GE(MillisecondsSince(start), 500);
  EXPECT_NE(std::strstr(buffer, "OK"), nullptr);
  m_port.Close();
}

TEST_F(ComPortTest, WaitForEndsAfterTheSilenceLimitWhenNothingArrives) {
  SimProcess sim(kSimPort, {"--silent"});
  ASSERT_TRUE(sim.Started());
  ASSERT_NE(m_port.Open(kSimPort), 0);
  char buffer[100];
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(m_port.WaitFor(buffer, sizeof buffer, ">", 250), 0);
  EXPECT_GE(MillisecondsSince(start), 240);  // two clocks, rounded apart
  m_port.Close();
}

TEST_F(ComPortTest, ZeroBytesHideNeitherTheReplyNorItsLogLine) {
  SimProcess sim(kSimPort, {"--echo", "0", "--noise", "\\x00", "--split", "4:100"});
  ASSERT_TRUE(sim.Started());
  ASSERT_NE(m_port.Open(kSimPort), 0);
  char buffer[100];
  m_port.Transmit("at\r", 3, 0);
  EXPECT_EQ(m_port.WaitForOk(buffer, sizeof buffer, 5000, nullptr), 6);
  EXPECT_STREQ(buffer, "\r\nOK\r\n");
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
  char buffer[100];
  m_port.Transmit("at\r", 3, 0);
  EXPECT_GT(m_port.WaitForOk(buffer, sizeof buffer, 5000, nullptr), 0);
  m_port.Close();
  EXPECT_EQ(InLines(), 3u);
}

TEST_F(ComPortTest, FullBufferEndsTheWaitAtItsLimit) {
  SimProcess sim(kSimPort, {"--echo", "0"});
  ASSERT_TRUE(sim.Started());
  ASSERT_NE(m_port.Open(kSimPort), 0);
  char small[4];  // room for 3 bytes: "\r\nOK\r\n" never fits
  m_port.Transmit("at\r", 3, 0);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(m_port.WaitForOk(small, sizeof small, 400, nullptr), 0);
  EXPECT_GE(MillisecondsSince(start), 390);  // two clocks, rounded apart
  EXPECT_STREQ(small, "\r\nO");
  m_port.Close();
}

}  // namespace
