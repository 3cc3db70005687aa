#include "platform/posix/TtyNames.h"

#include <cstring>

namespace platform {
namespace backend {
namespace {

struct DeviceFamily {
  int firstCom;
  const char* name;
};

constexpr DeviceFamily kDeviceFamilies[] = {
    {1, "ttyS"},
    {33, "ttyUSB"},
    {65, "ttyACM"},
};
constexpr int kFamilySize = 32;

// The index of "<family><digits>", or -1; leading zeros ("ttyS01") are not
// device names.
int FamilyIndex(const std::string& name, const char* family) {
  const size_t prefix = std::strlen(family);
  if (name.compare(0, prefix, family) != 0) return -1;
  const std::string digits = name.substr(prefix);
  if (digits.empty() || digits.size() > 2 || (digits.size() == 2 && digits[0] == '0')) return -1;
  int index = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    index = index * 10 + (c - '0');
  }
  return index < kFamilySize ? index : -1;
}

}  // namespace

std::string TtyPathOfCom(int comNumber) {
  for (const DeviceFamily& family : kDeviceFamilies) {
    const int index = comNumber - family.firstCom;
    if (index >= 0 && index < kFamilySize) {
      return std::string("/dev/") + family.name + std::to_string(index);
    }
  }
  return std::string();
}

std::string TtyFamiliesText() {
  std::string text;
  for (const DeviceFamily& family : kDeviceFamilies) {
    if (!text.empty()) text += ", ";
    text += "COM" + std::to_string(family.firstCom) + "-" +
            std::to_string(family.firstCom + kFamilySize - 1) + " = /dev/" + family.name + "0-" +
            std::to_string(kFamilySize - 1);
  }
  return text;
}

int ComOfTtyName(const std::string& name) {
  for (const DeviceFamily& family : kDeviceFamilies) {
    const int index = FamilyIndex(name, family.name);
    if (index >= 0) return family.firstCom + index;
  }
  return 0;
}

}  // namespace backend
}  // namespace platform
