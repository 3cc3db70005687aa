#pragma once
// The language of the user, for a console tool that speaks Russian or
// English.
namespace platform {

// True when the user reads Russian. POSIX: the first of LC_ALL, LC_MESSAGES
// and LANG that is set and not empty names a Russian locale ("ru",
// "ru_RU.UTF-8"); Windows: the user's interface language is Russian. Any
// thread.
bool UserLanguageIsRussian();

}  // namespace platform
