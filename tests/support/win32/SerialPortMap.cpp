#include "support/SerialPortMap.h"

#include <windows.h>

namespace testing_support {

namespace {

const char kMapKey[] = "Hardware\\DeviceMap\\SerialComm";

}  // namespace

SerialPortMap::SerialPortMap(std::initializer_list<std::pair<std::string, std::string>> values)
    : m_values(values) {
  HKEY key = nullptr;
  m_written = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMapKey, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &key,
                              nullptr) == ERROR_SUCCESS;
  if (!m_written) return;
  for (const auto& [name, data] : m_values) {
    m_written = m_written &&
                RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(data.c_str()),
                               static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS &&
                RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                    ERROR_SUCCESS;
  }
  RegCloseKey(key);
}

SerialPortMap::~SerialPortMap() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMapKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  for (const auto& value : m_values) RegDeleteValueA(key, value.first.c_str());
  RegCloseKey(key);
}

}  // namespace testing_support
