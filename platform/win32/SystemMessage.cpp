#include "platform/win32/SystemMessage.h"

#include <cstring>

#include "platform/win32/WidePath.h"

namespace platform {

std::string SystemMessage(DWORD code) {
  wchar_t text[512] = {};
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, text, 512, nullptr);
  std::string message = length == 0 ? std::string() : Utf8FromWide(text);
  while (!message.empty() && std::strchr(" .\r\n", message.back()) != nullptr) message.pop_back();
  return message.empty() ? "system error " + std::to_string(code) : message;
}

}  // namespace platform
