#pragma once
// The system's words for a Windows error code.
#include <windows.h>

#include <string>

namespace platform {

// UTF-8, without the final full stop and line break that FormatMessage adds;
// "system error N" when the system has no text for the code.
std::string SystemMessage(DWORD code);

}  // namespace platform
