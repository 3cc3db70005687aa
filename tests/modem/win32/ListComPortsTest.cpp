// The port list read from the system's serial-port map.
#include <gtest/gtest.h>

#include <algorithm>

#include "modem/Modem.h"
#include "support/SerialPortMap.h"

namespace {

bool Listed(const std::vector<int>& ports, int port) {
  return std::find(ports.begin(), ports.end(), port) != ports.end();
}

TEST(ListComPortsTest, QuotedNamesCountAndOtherNamesAreSkipped) {
  testing_support::SerialPortMap map{{"VarnekPlain", "COM1"},
                                      {"VarnekQuoted", "\"COM3\""},
                                      {"VarnekPrinter", "LPT9"},
                                      {"VarnekLower", "com5"}};
  std::vector<int> ports = CModem::ListComPorts();
  auto first = std::find(ports.begin(), ports.end(), 1);
  ASSERT_NE(first, ports.end());
  EXPECT_NE(std::find(first, ports.end(), 3), ports.end()) << "1 comes before 3";
  EXPECT_FALSE(Listed(ports, 9));
  EXPECT_FALSE(Listed(ports, 5)) << "the prefix is compared case-sensitively";
}

}  // namespace
