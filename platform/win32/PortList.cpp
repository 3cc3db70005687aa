#include "platform/PortList.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform/CodePage.h"

namespace platform {
namespace {

constexpr DWORD kRegistryTextSize = 500;

// An open registry key, closed when it goes.
class RegistryKey {
 public:
  explicit RegistryKey(const char* path)
      : m_open(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &m_key) == ERROR_SUCCESS) {}
  ~RegistryKey() {
    if (m_open) RegCloseKey(m_key);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  bool IsOpen() const { return m_open; }
  HKEY Get() const { return m_key; }

 private:
  HKEY m_key = nullptr;
  bool m_open;
};

// The value's data as text, up to its first zero byte or its stored length
// (registry strings need not be terminated); false when it cannot be read or
// does not fit in capacity bytes.
bool QueryText(HKEY key, const char* valueName, DWORD capacity, std::string& text) {
  BYTE data[kRegistryTextSize];
  DWORD length = capacity < kRegistryTextSize ? capacity : kRegistryTextSize;
  if (RegQueryValueExA(key, valueName, nullptr, nullptr, data, &length) != ERROR_SUCCESS) {
    return false;
  }
  const char* chars = reinterpret_cast<const char*>(data);
  const size_t size = strnlen(chars, length);
  if (size + 1 > capacity) return false;  // no room for the terminator
  text.assign(chars, size);
  return true;
}

// The same for a text that may hold any language: read as UTF-16 and
// converted with code page 1251, independent of the system's code page.
bool QueryText1251(HKEY key, const wchar_t* valueName, DWORD capacity, std::string& text) {
  wchar_t data[kRegistryTextSize];
  DWORD length = sizeof data;
  if (RegQueryValueExW(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                       &length) != ERROR_SUCCESS) {
    return false;
  }
  const size_t units = wcsnlen(data, length / sizeof(wchar_t));
  if (units + 1 > capacity) return false;  // one 1251 byte per unit, plus the terminator
  text = Utf16ToCp1251(std::u16string(reinterpret_cast<const char16_t*>(data), units));
  return true;
}

}  // namespace

bool SerialPortNames(std::vector<std::string>& names) {
  names.clear();
  RegistryKey map("Hardware\\DeviceMap\\SerialComm");
  if (!map.IsOpen()) return false;
  for (DWORD index = 0;; ++index) {
    char valueName[kRegistryTextSize];
    DWORD nameLength = kRegistryTextSize;
    if (RegEnumValueA(map.Get(), index, valueName, &nameLength, nullptr, nullptr, nullptr,
                      nullptr) != ERROR_SUCCESS) {
      break;
    }
    std::string port;
    if (!QueryText(map.Get(), valueName, kRegistryTextSize, port)) break;
    names.push_back(port);
  }
  return true;
}

bool PortDescription(int portNumber, size_t room, std::string& description) {
  if (portNumber < 0 || portNumber > 9999 || room == 0) return false;
  char path[128];
  std::snprintf(path, sizeof path,
                "SYSTEM\\CurrentControlSet\\Control\\Class\\"
                "{4D36E978-E325-11CE-BFC1-08002BE10318}\\%04d",
                portNumber);
  RegistryKey instance(path);
  if (!instance.IsOpen()) return false;
  const DWORD capacity = room < kRegistryTextSize ? static_cast<DWORD>(room) : kRegistryTextSize;
  return QueryText1251(instance.Get(), L"DriverDesc", capacity, description);
}

}  // namespace platform
