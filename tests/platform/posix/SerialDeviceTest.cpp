#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <string>

#include "platform/SerialDevice.h"

namespace {

constexpr int kTestPort = 150;

// A pty whose slave stands in for a modem's serial device as COM150; the test
// plays the modem on the master side.
class SerialDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(m_master, 0);
    ASSERT_EQ(grantpt(m_master), 0);
    ASSERT_EQ(unlockpt(m_master), 0);
    platform::MapComPort(kTestPort, ptsname(m_master));
  }
  void TearDown() override {
    platform::MapComPort(kTestPort, "");
    if (m_master >= 0) close(m_master);
  }

  void PeerWrite(const std::string& bytes) {
    ASSERT_EQ(write(m_master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // Whatever the device side sent, collected until want bytes or 2 s of nothing.
  std::string PeerRead(size_t want) {
    std::string got;
    char buffer[512];
    while (got.size() < want) {
      pollfd ready{m_master, POLLIN, 0};
      if (poll(&ready, 1, 2000) <= 0) break;
      const ssize_t n = read(m_master, buffer, sizeof buffer);
      if (n <= 0) break;
      got.append(buffer, static_cast<size_t>(n));
    }
    return got;
  }

  bool PeerHasNothing() {
    char byte;
    return read(m_master, &byte, 1) < 0 && errno == EAGAIN;
  }

  // Reads from the device until want bytes arrived or 2 s passed.
  static std::string DeviceRead(platform::SerialDevice& device, size_t want) {
    std::string got;
    char buffer[512];
    for (int round = 0; round < 2000 && got.size() < want; ++round) {
      const uint32_t n = device.Read(buffer, sizeof buffer);
      if (n == 0) usleep(1000);
      got.append(buffer, n);
    }
    return got;
  }

  speed_t LineSpeed() {
    termios settings{};
    EXPECT_EQ(tcgetattr(m_master, &settings), 0);
    return cfgetospeed(&settings);
  }

  int m_master = -1;
};

TEST(ComDevicePath, NumbersMapToTtyFamilies) {
  const struct {
    int com;
    const char* path;
  } cases[] = {
      {1, "/dev/ttyS0"},    {32, "/dev/ttyS31"},   {33, "/dev/ttyUSB0"}, {64, "/dev/ttyUSB31"},
      {65, "/dev/ttyACM0"}, {96, "/dev/ttyACM31"}, {0, ""},              {97, ""},
      {-1, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::ComDevicePath(c.com), c.path) << c.com;

  platform::MapComPort(3, "/tmp/modem");
  EXPECT_EQ(platform::ComDevicePath(3), "/tmp/modem");
  platform::MapComPort(3, "");
  EXPECT_EQ(platform::ComDevicePath(3), "/dev/ttyS2");
}

TEST_F(SerialDeviceTest, OpenGivesARawLineThatNeverWaits) {
  platform::SerialDevice device;
  ASSERT_TRUE(device.Open(kTestPort));
  EXPECT_EQ(device.GetState(), platform::SerialDevice::State::Valid);

  char buffer[16];
  EXPECT_EQ(device.Read(buffer, sizeof buffer), 0u);  // nothing sent yet: returns at once

  PeerWrite("at\r");
  EXPECT_EQ(DeviceRead(device, 3), "at\r");
  EXPECT_TRUE(PeerHasNothing()) << "the device echoed";

  EXPECT_EQ(device.Write("OK\n", 3), 3u);
  EXPECT_EQ(PeerRead(3), "OK\n");  // no "\r" added before the line feed
}

TEST_F(SerialDeviceTest, EveryByteValuePassesBothWays) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  platform::SerialDevice device;
  ASSERT_TRUE(device.Open(kTestPort));

  PeerWrite(all);  // holds XON/XOFF, Ctrl-C, Ctrl-D, CR, LF, DEL
  const std::string in = DeviceRead(device, all.size());
  ASSERT_EQ(in.size(), all.size());
  for (size_t i = 0; i < all.size(); ++i) ASSERT_EQ(in[i], all[i]) << "first difference at " << i;

  EXPECT_EQ(device.Write(all.data(), static_cast<uint32_t>(all.size())), all.size());
  const std::string out = PeerRead(all.size());
  ASSERT_EQ(out.size(), all.size());
  for (size_t i = 0; i < all.size(); ++i) ASSERT_EQ(out[i], all[i]) << "first difference at " << i;
}

TEST_F(SerialDeviceTest, HeldDeviceCannotBeOpenedAgain) {
  platform::SerialDevice holder;
  ASSERT_TRUE(holder.Open(kTestPort));

  platform::SerialDevice second;
  EXPECT_FALSE(second.Open(kTestPort));
  EXPECT_EQ(second.GetState(), platform::SerialDevice::State::Failed);
  EXPECT_EQ(second.FailureReason(), "in use by another program");
  platform::SerialDevice third;
  EXPECT_FALSE(third.Open(kTestPort));

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    platform::SerialDevice other;
    _exit(other.Open(kTestPort) ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "another process opened it";

  holder.Close();
  EXPECT_EQ(holder.GetState(), platform::SerialDevice::State::Null);
  EXPECT_TRUE(second.Open(kTestPort));
  EXPECT_EQ(second.FailureReason(), "");
}

// What an operator is told when a device cannot be opened.
TEST_F(SerialDeviceTest, FailedOpensSayWhy) {
  struct Case {
    const char* path;  // "" : the COM number is not mapped
    int com;
    const char* reason;
  };
  const Case cases[] = {
      {"/dev/varnek-no-such-device", kTestPort, "No such file or directory"},
      {"/dev/null", kTestPort, "not a serial device"},
      {"/etc/hostname", kTestPort, "not a serial device"},
      {"/tmp", kTestPort, "Is a directory"},
      {"", 300, "no device has this COM number (COM1-32 = /dev/ttyS0-31, COM33-64 = "
                "/dev/ttyUSB0-31, COM65-96 = /dev/ttyACM0-31)"},
  };
  for (const Case& c : cases) {
    if (*c.path != '\0') platform::MapComPort(c.com, c.path);
    platform::SerialDevice device;
    EXPECT_FALSE(device.Open(c.com)) << c.path;
    device.Close();
    EXPECT_EQ(device.FailureReason(), c.reason) << c.path << ": kept after Close";
  }
}

TEST_F(SerialDeviceTest, MissingDeviceFailsAndCloseKeepsTheFailure) {
  platform::MapComPort(kTestPort, "/dev/varnek-no-such-device");
  platform::SerialDevice device;
  EXPECT_FALSE(device.Open(kTestPort));
  device.Close();
  EXPECT_EQ(device.GetState(), platform::SerialDevice::State::Failed);
  EXPECT_FALSE(device.Open(0));
  EXPECT_FALSE(device.ApplySpeed(9600));
  char byte;
  EXPECT_EQ(device.Read(&byte, 1), 0u);
  EXPECT_EQ(device.Write("x", 1), 0u);
}

TEST_F(SerialDeviceTest, SpeedChangesOnlyWhenKnown) {
  platform::SerialDevice device;
  ASSERT_TRUE(device.Open(kTestPort));
  EXPECT_TRUE(device.ApplySpeed(19200));
  EXPECT_EQ(LineSpeed(), speed_t(B19200));
  EXPECT_TRUE(device.ApplySpeed(0));  // keeps the speed
  EXPECT_EQ(LineSpeed(), speed_t(B19200));
  EXPECT_FALSE(device.ApplySpeed(12345));
  EXPECT_EQ(device.FailureReason(), "the speed 12345 bit/s is not supported");
  EXPECT_FALSE(device.ApplySpeed(-9600));
  EXPECT_EQ(LineSpeed(), speed_t(B19200));
  EXPECT_TRUE(device.ApplySpeed(115200));
  EXPECT_EQ(device.FailureReason(), "");
  EXPECT_EQ(LineSpeed(), speed_t(B115200));
}

// Only the input side is checked: a pty hands written bytes to its master at
// once, so there is no output buffer left for a purge to clear.
TEST_F(SerialDeviceTest, PurgeDropsBytesNotYetRead) {
  platform::SerialDevice device;
  ASSERT_TRUE(device.Open(kTestPort));
  PeerWrite("stale reply");
  device.Purge();

  PeerWrite("OK");
  EXPECT_EQ(DeviceRead(device, 2), "OK");
  ASSERT_EQ(device.Write("at", 2), 2u);
  EXPECT_EQ(PeerRead(2), "at");
}

TEST_F(SerialDeviceTest, WriteStopsAtItsTimeLimit) {
  platform::SerialDevice device;
  ASSERT_TRUE(device.Open(kTestPort));
  platform::SerialTimeouts timeouts;
  timeouts.writeTotalConstant = 20;
  device.SetTimeouts(timeouts);
  // Nobody reads the master: the pty fills up long before 4 MB.
  const std::string big(4 << 20, 'x');
  const uint32_t written = device.Write(big.data(), static_cast<uint32_t>(big.size()));
  EXPECT_GT(written, 0u);
  EXPECT_LT(written, big.size());
}

}  // namespace
