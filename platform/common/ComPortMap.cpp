#include "platform/common/ComPortMap.h"

#include <map>
#include <mutex>

#include "platform/SerialDevice.h"

namespace platform {
namespace {

struct PortMap {
  std::mutex lock;
  std::map<int, std::string> paths;
};

PortMap& ThePortMap() {
  static PortMap map;
  return map;
}

}  // namespace

void MapComPort(int comNumber, const std::string& devicePath) {
  PortMap& map = ThePortMap();
  std::lock_guard<std::mutex> guard(map.lock);
  if (devicePath.empty()) {
    map.paths.erase(comNumber);
  } else {
    map.paths[comNumber] = devicePath;
  }
}

namespace backend {

std::string MappedComPath(int comNumber) {
  PortMap& map = ThePortMap();
  std::lock_guard<std::mutex> guard(map.lock);
  auto found = map.paths.find(comNumber);
  return found == map.paths.end() ? std::string() : found->second;
}

std::vector<int> MappedComNumbers() {
  PortMap& map = ThePortMap();
  std::lock_guard<std::mutex> guard(map.lock);
  std::vector<int> numbers;
  for (const auto& entry : map.paths) numbers.push_back(entry.first);
  return numbers;
}

}  // namespace backend
}  // namespace platform
