// Finding, capturing and releasing the modem, with the steps in the log.
#include <gtest/gtest.h>

#include <algorithm>

#include "modem/Modem.h"
#include "support/FastClock.h"
#include "support/LogFiles.h"
#include "support/SimProcess.h"
#include "support/SerialPortMap.h"
#include "support/TempDir.h"
#include "support/Wine.h"

namespace {

using testing_support::LogTexts;
using testing_support::SimProcess;
using Strings = std::vector<std::string>;

class DiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override { m_dir.UseAsProgramFolder(); }
  Strings Engine(const char* source) const { return LogTexts(m_dir.Path(), "engine", source); }

  testing_support::TempDir m_dir;
  testing_support::FastClock m_fast{50};  // a silent port costs 0.2 s, not 10 s
  CModem m_modem;
};

TEST_F(DiscoveryTest, FindPortSkipsASilentPortAndTakesTheAnsweringOne) {
  SimProcess silent(11, {"--silent"});
  SimProcess answering(12);
  ASSERT_TRUE(silent.Started() && answering.Started());
  testing_support::SerialPortMap map{{"VarnekTest11", "COM11"}, {"VarnekTest12", "COM12"}};
  ASSERT_TRUE(map.Written());
  std::vector<int> ports = CModem::ListComPorts();
  auto at11 = std::find(ports.begin(), ports.end(), 11);
  ASSERT_NE(at11, ports.end()) << ::testing::PrintToString(ports);
  ASSERT_NE(std::find(at11, ports.end(), 12), ports.end()) << "11 is listed before 12";

  int found = -1;
  EXPECT_EQ(m_modem.FindPort(found), 12);
  EXPECT_EQ(found, 12);
  EXPECT_EQ(Engine("FindPort"), (Strings{"start...", "suc\xF1" "ess..."}));
  EXPECT_EQ(m_modem.IsOpen(), 0) << "the search leaves no port open";
}

TEST_F(DiscoveryTest, FindPortWithoutAnsweringModemFails) {
  SimProcess silent(11, {"--silent"});
  ASSERT_TRUE(silent.Started());
  testing_support::SerialPortMap map{{"VarnekTest11", "COM11"}};
  int found = -1;
  EXPECT_EQ(m_modem.FindPort(found), 0);
  EXPECT_EQ(found, 0);
  Strings steps = Engine("FindPort");
  EXPECT_EQ(steps.front(), "start...");
  EXPECT_EQ(steps.back(), "failed...");
}

TEST_F(DiscoveryTest, CaptureOfAHeldPortFailsAndReleaseStillLogs) {
  if (testing_support::RunningUnderWine()) {
    GTEST_SKIP() << "Wine does not make serial opens exclusive";
  }
  SimProcess sim(13);
  ASSERT_TRUE(sim.Started());
  CComPort holder;
  ASSERT_NE(holder.Open(13), 0);
  int ready = -1;
  m_modem.CaptureModemDevice(ready, 13);
  EXPECT_EQ(ready, 0);
  m_modem.ReleaseModemDevice();
  holder.Close();
  EXPECT_EQ(Engine("CaptureModemDevice"), (Strings{"start...", "failed"}));
  EXPECT_EQ(Engine("ReleaseModemDevice"), Strings{"success"});
}

TEST_F(DiscoveryTest, CaptureWithoutPortOpensNothingAndFailsAtSetup) {
  int ready = -1;
  m_modem.CaptureModemDevice(ready, 0);
  EXPECT_EQ(ready, 0);
  EXPECT_EQ(Engine("CaptureModemDevice"), (Strings{"start...", "setup...", "failed"}));
}

TEST_F(DiscoveryTest, CaptureOfAnAnsweringModemLeavesThePortOpen) {
  SimProcess sim(13);
  ASSERT_TRUE(sim.Started());
  int ready = 0;
  m_modem.CaptureModemDevice(ready, 13);
  EXPECT_EQ(ready, 1);
  EXPECT_EQ(m_modem.PortNumber(), 13);
  m_modem.ReleaseModemDevice();
  EXPECT_EQ(m_modem.PortNumber(), 0);
  EXPECT_EQ(Engine("CaptureModemDevice"), (Strings{"start...", "setup...", "success"}));
}

}  // namespace
