// The serial device against the simulated modem, in both backends (natively
// a pty linked in a folder, under Wine the same pty as a COM port): waits
// that end on input, and a device that vanishes and comes back behind the
// same name, as a USB modem does when it reboots.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "platform/SerialDevice.h"
#include "support/SimProcess.h"

namespace {

using testing_support::SimProcess;
using Clock = std::chrono::steady_clock;

constexpr int kSimPort = 9;
constexpr auto kPatience = std::chrono::seconds(10);

long long MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Reads until the text read ends with tail, or until kPatience passes.
std::string ReadUntil(platform::SerialDevice& device, const std::string& tail) {
  std::string got;
  const Clock::time_point start = Clock::now();
  while (Clock::now() - start < kPatience) {
    char buffer[256];
    const uint32_t n = device.Read(buffer, sizeof buffer);
    got.append(buffer, n);
    const bool ends = got.size() >= tail.size() &&
                      got.compare(got.size() - tail.size(), tail.size(), tail) == 0;
    if (ends) break;
    if (n == 0) device.WaitForInput(100);
  }
  return got;
}

void Send(platform::SerialDevice& device, const std::string& bytes) {
  ASSERT_EQ(device.Write(bytes.data(), static_cast<uint32_t>(bytes.size())), bytes.size());
}

TEST(SerialDeviceSim, InputEndsAWaitAtOnceAndEveryByteIsReadAfterIt) {
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  platform::SerialDevice device;
  ASSERT_TRUE(device.Open(kSimPort));
  EXPECT_FALSE(device.WaitForInput(20)) << "nothing was asked";
  EXPECT_FALSE(device.IsLost()) << "a silent line is no lost device";

  Send(device, "at\r");
  const Clock::time_point start = Clock::now();
  EXPECT_TRUE(device.WaitForInput(20000));
  EXPECT_LT(MillisecondsSince(start), 5000) << "the wait ran on after the echo came";
  EXPECT_TRUE(device.WaitForInput(20000)) << "input is still there to be read";
  EXPECT_EQ(ReadUntil(device, "OK\r\n"), "at\r\r\nOK\r\n");
}

// A submission that the simulator drops: its pty closes at once and a new
// one is linked behind the same name 300 ms later.
void DropTheLine(platform::SerialDevice& device) {
  Send(device, "at+cmgs=1\r");
  ASSERT_EQ(ReadUntil(device, "> "), "at+cmgs=1\r\r\n> ");
  Send(device, "00");
}

struct LossCase {
  const char* what;
  std::function<void(platform::SerialDevice&)> meet;  // one call that may meet the loss
};

void Pause() { std::this_thread::sleep_for(std::chrono::milliseconds(5)); }

TEST(SerialDeviceSim, AVanishedDeviceIsLostAtOnceAndOpensAgainWhenItIsBack) {
  const LossCase cases[] = {
      {"a wait", [](platform::SerialDevice& device) { device.WaitForInput(20000); }},
      {"a read",
       [](platform::SerialDevice& device) {
         char buffer[64];
         if (device.Read(buffer, sizeof buffer) == 0) Pause();
       }},
      {"a write",
       [](platform::SerialDevice& device) {
         if (device.Write("\x1B", 1) == 1) Pause();
       }},
  };
  for (const LossCase& row : cases) {
    SCOPED_TRACE(row.what);
    SimProcess sim(kSimPort, {"--submit", "1:drop"});
    ASSERT_TRUE(sim.Started());
    platform::SerialDevice device;
    ASSERT_TRUE(device.Open(kSimPort));
    DropTheLine(device);

    const Clock::time_point start = Clock::now();
    while (!device.IsLost() && Clock::now() - start < kPatience) row.meet(device);
    ASSERT_TRUE(device.IsLost());
    EXPECT_LT(MillisecondsSince(start), 5000);
    const std::string reason = device.FailureReason();
    EXPECT_NE(reason, "") << "the system's words for the loss";
    char byte;
    EXPECT_EQ(device.Write("at\r", 3), 0u);
    EXPECT_EQ(device.Read(&byte, 1), 0u);
    EXPECT_FALSE(device.WaitForInput(1));
    EXPECT_FALSE(device.ApplySpeed(9600));
    EXPECT_EQ(device.FailureReason(), reason) << "the first loss stays the reason";
    device.Close();
    EXPECT_TRUE(device.IsLost()) << "kept after Close";

    // The same name again, once the simulator has linked its new pty (until
    // then the name may lead to another program's pty that took the number).
    const Clock::time_point back = Clock::now();
    while (sim.Transcript().find("--- line back at") == std::string::npos &&
           Clock::now() - back < kPatience) {
      Pause();
    }
    ASSERT_TRUE(device.Open(kSimPort)) << device.FailureReason();
    EXPECT_FALSE(device.IsLost());
    EXPECT_EQ(device.FailureReason(), "");
    Send(device, "at\r");
    EXPECT_EQ(ReadUntil(device, "OK\r\n"), "at\r\r\nOK\r\n");
  }
}

}  // namespace
