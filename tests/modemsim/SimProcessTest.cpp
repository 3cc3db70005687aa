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

std::string ReadReply(platform::SerialDevice& device, const std::string& end) {
  std::string got;
  for (int i = 0; i < 400 && got.find(end) == std::string::npos; ++i) {
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

TEST(SimProcess, ReachedAsComPortAndRecorded) {
  SimProcess sim(27, {"--ref", "41"});
  ASSERT_TRUE(sim.Started());
  platform::SerialDevice device;
  ASSERT_TRUE(device.Open(27));
  platform::SerialTimeouts timeouts;
  timeouts.readInterval = 0xFFFFFFFF;
  timeouts.writeTotalMultiplier = 1000;
  timeouts.writeTotalConstant = 1000;
  device.SetTimeouts(timeouts);
  device.Purge();

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

}  // namespace
