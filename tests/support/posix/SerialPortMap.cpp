#include "support/SerialPortMap.h"

namespace testing_support {

SerialPortMap::SerialPortMap(std::initializer_list<std::pair<std::string, std::string>> values)
    : m_values(values) {}

SerialPortMap::~SerialPortMap() = default;

}  // namespace testing_support
