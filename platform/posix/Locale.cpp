#include "platform/Locale.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace platform {

bool UserLanguageIsRussian() {
  // The order in which the C library looks for the language of messages.
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    return std::strncmp(value, "ru", 2) == 0 && (value[2] == '\0' || value[2] == '_' ||
                                                 value[2] == '.' || value[2] == '@');
  }
  return false;
}

}  // namespace platform
