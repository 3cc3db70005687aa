#include "platform/Locale.h"

#include <windows.h>

namespace platform {

bool UserLanguageIsRussian() { return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_RUSSIAN; }

}  // namespace platform
