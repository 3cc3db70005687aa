#pragma once
// What each platform backend (posix/ or win32/) supplies to the common code,
// which adds the test overrides on top.
#include <cstdint>
#include <string>

#include "platform/Clock.h"

namespace platform {
namespace backend {

LocalTime SystemLocalTime();
uint32_t SystemTickMs();
std::string SystemProgramPath();  // "" when it cannot be found
bool SystemReplaceFile(const std::string& source, const std::string& target);

}  // namespace backend
}  // namespace platform
