#pragma once
// Entries of the system's serial-port map for one test. On Windows they are
// values of HKLM\Hardware\DeviceMap\SerialComm, removed again at the end. On
// POSIX there is no such map: ports mapped to a device path are listed
// anyway, so this does nothing.
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

class SerialPortMap {
 public:
  // (value name, value data) pairs, e.g. {"VarnekTest3", "\"COM3\""}.
  explicit SerialPortMap(std::initializer_list<std::pair<std::string, std::string>> values);
  ~SerialPortMap();
  // Whether every value could be written (always true without a map).
  bool Written() const { return m_written; }
  SerialPortMap(const SerialPortMap&) = delete;
  SerialPortMap& operator=(const SerialPortMap&) = delete;

 private:
  std::vector<std::pair<std::string, std::string>> m_values;
  bool m_written = true;
};

}  // namespace testing_support
