#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/PortList.h"
#include "platform/SerialDevice.h"

namespace {

constexpr char kSerialComm[] = "Hardware\\DeviceMap\\SerialComm";
constexpr char kTestInstance[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E978-E325-11CE-BFC1-08002BE10318}\\0077";

// Sets a text value under HKLM for one test and removes it again.
class RegistryValue {
 public:
  RegistryValue(const char* keyPath, const char* name, const std::string& data)
      : m_name(name) {
    const LSTATUS created = RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0,
                                            KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
    m_ok = created == ERROR_SUCCESS &&
           RegSetValueExA(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
  }
  ~RegistryValue() {
    RegDeleteValueA(m_key, m_name.c_str());
    RegCloseKey(m_key);
  }
  bool Ok() const { return m_ok; }

 private:
  HKEY m_key = nullptr;
  std::string m_name;
  bool m_ok = false;
};

TEST(PortListWindows, RegistryPortsAreListed) {
  RegistryValue port(kSerialComm, "VarnekTest77", "COM77");
  ASSERT_TRUE(port.Ok());
  std::vector<std::string> names;
  ASSERT_TRUE(platform::SerialPortNames(names));
  EXPECT_NE(std::find(names.begin(), names.end(), "COM77"), names.end());
}

TEST(PortListWindows, DescriptionIsGivenOnlyWhenItFits) {
  RegistryValue desc(kTestInstance, "DriverDesc", "Test serial driver");  // 18 characters
  ASSERT_TRUE(desc.Ok());
  std::string description;
  EXPECT_TRUE(platform::PortDescription(77, 19, description));
  EXPECT_EQ(description, "Test serial driver");
  description = "unchanged";
  EXPECT_FALSE(platform::PortDescription(77, 18, description));
  EXPECT_EQ(description, "unchanged");
  EXPECT_FALSE(platform::PortDescription(78, 100, description));
}

TEST(ComDevicePathWindows, NumbersNameTheWin32Device) {
  EXPECT_EQ(platform::ComDevicePath(3), "\\\\.\\COM3");
  EXPECT_EQ(platform::ComDevicePath(12), "\\\\.\\COM12");
}

TEST(SerialDeviceWindows, MissingPortFails) {
  platform::SerialDevice device;
  EXPECT_FALSE(device.Open(199));
  EXPECT_EQ(device.GetState(), platform::SerialDevice::State::Failed);
  device.Close();
  EXPECT_EQ(device.GetState(), platform::SerialDevice::State::Failed);
  char byte;
  EXPECT_EQ(device.Read(&byte, 1), 0u);
}

}  // namespace
