#pragma once
// The in-process COM number -> device path map behind MapComPort, shared by
// the device path lookup and the port list of each backend.
#include <string>
#include <vector>

namespace platform {
namespace backend {

// The mapped path of a COM number; "" when it is not mapped.
std::string MappedComPath(int comNumber);
// Every mapped COM number, ascending.
std::vector<int> MappedComNumbers();

}  // namespace backend
}  // namespace platform
