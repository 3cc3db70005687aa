// The simulator started through the test helper and reached as a COM port by
// the project's serial device, in both builds.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/SerialDevice.h"
#include "support/SimProcess.h"

namespace {

using testing_support::SimProcess;

// Reads until end arrived, or count bytes, or two seconds passed.
std::string ReadReply(platform::SerialDevice& device, const std::string& end,
                      size_t count = std::string::npos) {
  std::string got;
  for (int i = 0; i < 400 && got.find(end) == std::string::npos && got.size() < count; ++i) {
    char buffer[256];
    uint32_t n = device.Read(buffer, sizeof buffer);
    if (n == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    got.append(buffer, n);
  }
  return got;
}

void Write(platform::SerialDevice& device, const std::string& text) {
  ASSERT_EQ(text.size(), device.Write(text.data(), static_cast<uint32_t>(text.size())));
}

bool OpenPort(platform::SerialDevice& device, int comNumber) {
  if (!device.Open(comNumber)) return false;
  platform::SerialTimeouts timeouts;
  timeouts.readInterval = 0xFFFFFFFF;
  timeouts.writeTotalMultiplier = 1000;
  timeouts.writeTotalConstant = 1000;
  device.SetTimeouts(timeouts);
  device.Purge();
  return true;
}

TEST(SimProcess, ReachedAsComPortAndRecorded) {
  SimProcess sim(27, {"--ref", "41"});
  ASSERT_TRUE(sim.Started());
  platform::SerialDevice device;
  ASSERT_TRUE(OpenPort(device, 27));

  Write(device, "at\r");
  EXPECT_EQ("at\r\r\nOK\r\n", ReadReply(device, "OK\r\n"));
  Write(device, "at+cmgs=19\r");
  EXPECT_EQ("at+cmgs=19\r\r\n> ", ReadReply(device, "> "));
  Write(device, "0011000B912143658709F10000AA05C8329BFD06\x1a");
  EXPECT_EQ("\r\n+CMGS: 41\r\n\r\nOK\r\n", ReadReply(device, "OK\r\n"));
  device.Close();

  auto record = sim.Submissions();
  ASSERT_EQ(1u, record.size());
  EXPECT_EQ(19, record[0].announcedLength);
  EXPECT_EQ("0011000B912143658709F10000AA05C8329BFD06", record[0].pdu);
  EXPECT_EQ("ok 41", record[0].answer);
  EXPECT_NE(std::string::npos, sim.Transcript().find("IN  at+cmgs=19\\r"));
}

// Every speed a client may set reaches the simulator's pty (under Wine
// through SetCommState); a modem fixed at 9600 bit/s understands only that
// one and answers anything else with garbage.
TEST(SimProcess, SpeedsOfTheClient) {
  SimProcess anySpeed(28, {"--echo", "0"});
  SimProcess fixed(29, {"--echo", "0", "--profile", "fixed-9600"});
  ASSERT_TRUE(anySpeed.Started());
  ASSERT_TRUE(fixed.Started());
  platform::SerialDevice free;
  platform::SerialDevice nine;
  ASSERT_TRUE(OpenPort(free, 28));
  ASSERT_TRUE(OpenPort(nine, 29));
  const std::string ok = "\r\nOK\r\n";
  for (int baud : {115200, 57600, 38400, 19200, 9600}) {
    ASSERT_TRUE(free.ApplySpeed(baud)) << baud;
    Write(free, "at\r");
    EXPECT_EQ(ok, ReadReply(free, ok)) << baud;

    ASSERT_TRUE(nine.ApplySpeed(baud)) << baud;
    if (baud == 9600) {
      // ATE1 at the wrong speeds did not run: the echo is still off.
      Write(nine, "at\r");
      EXPECT_EQ(ok, ReadReply(nine, ok));
      continue;
    }
    Write(nine, "ate1\r");
    const std::string heard = ReadReply(nine, ok, 11);
    EXPECT_EQ(11u, heard.size()) << baud;  // echo and answer, garbled
    EXPECT_EQ(std::string::npos, heard.find("OK")) << baud;
  }
}

}  // namespace
