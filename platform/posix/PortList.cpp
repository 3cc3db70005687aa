#include "platform/PortList.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

#include "platform/common/ComPortMap.h"
#include "platform/posix/TtyNames.h"

namespace platform {
namespace {

constexpr char kTtyClass[] = "/sys/class/tty/";

bool HasDevice(const std::string& name) {
  struct stat info;
  return stat((kTtyClass + name + "/device").c_str(), &info) == 0;
}

bool ListTtyComNumbers(std::vector<int>& numbers) {
  DIR* dir = opendir(kTtyClass);
  if (!dir) return false;
  while (dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    const int com = backend::ComOfTtyName(name);
    if (com != 0 && HasDevice(name)) numbers.push_back(com);
  }
  closedir(dir);
  std::sort(numbers.begin(), numbers.end());
  return true;
}

std::string BaseName(const std::string& path) {
  const size_t cut = path.rfind('/');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

bool SerialPortNames(std::vector<std::string>& names) {
  names.clear();
  std::vector<int> numbers;
  if (!ListTtyComNumbers(numbers)) return false;
  for (int mapped : backend::MappedComNumbers()) {
    if (std::find(numbers.begin(), numbers.end(), mapped) == numbers.end()) {
      numbers.push_back(mapped);
    }
  }
  for (int com : numbers) names.push_back("COM" + std::to_string(com));
  return true;
}

bool PortDescription(int portNumber, size_t room, std::string& description) {
  if (!backend::MappedComPath(portNumber).empty()) return false;
  const std::string path = backend::TtyPathOfCom(portNumber);
  if (path.empty()) return false;
  const std::string link = kTtyClass + BaseName(path) + "/device/driver";
  char target[PATH_MAX];
  const ssize_t length = readlink(link.c_str(), target, sizeof target);
  if (length <= 0 || length >= static_cast<ssize_t>(sizeof target)) return false;
  const std::string driver = BaseName(std::string(target, static_cast<size_t>(length)));
  if (driver.size() + 1 > room) return false;
  description = driver;
  return true;
}

}  // namespace platform
