#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/PortList.h"
#include "platform/SerialDevice.h"

namespace {

int ComNumber(const std::string& name) { return std::stoi(name.substr(3)); }

TEST(PortList, SystemPortsAscendThenMappedPortsFollowOnce) {
  platform::MapComPort(150, "/tmp/varnek-pty");
  platform::MapComPort(149, "/tmp/varnek-pty2");
  std::vector<std::string> names;
  const bool listed = platform::SerialPortNames(names);
  platform::MapComPort(150, "");
  platform::MapComPort(149, "");
  ASSERT_TRUE(listed);

  ASSERT_GE(names.size(), 2u);
  EXPECT_EQ(names[names.size() - 2], "COM149");
  EXPECT_EQ(names.back(), "COM150");
  std::vector<int> numbers;
  for (const std::string& name : names) {
    ASSERT_EQ(name.compare(0, 3, "COM"), 0) << name;
    numbers.push_back(ComNumber(name));
  }
  EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end() - 2));
  std::sort(numbers.begin(), numbers.end());
  EXPECT_EQ(std::adjacent_find(numbers.begin(), numbers.end()), numbers.end()) << "listed twice";
}

TEST(PortList, MappedPortHasNoDescription) {
  platform::MapComPort(5, "/tmp/varnek-pty");
  std::string description = "unchanged";
  EXPECT_FALSE(platform::PortDescription(5, 100, description));
  platform::MapComPort(5, "");
  EXPECT_EQ(description, "unchanged");
  EXPECT_FALSE(platform::PortDescription(0, 100, description));
}

}  // namespace
