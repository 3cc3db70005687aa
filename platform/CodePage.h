#pragma once
// Code page 1251 <-> UTF-16 by one exact table, the same on every platform.
// Characters that 1251 lacks become '?'.
#include <string>

namespace platform {

std::u16string Cp1251ToUtf16(const std::string& text);
std::string Utf16ToCp1251(const std::u16string& text);

// For command-line tools: UTF-8 <-> 1251 through UTF-16 (invalid UTF-8
// sequences become '?').
std::string Utf8ToCp1251(const std::string& text);
std::string Cp1251ToUtf8(const std::string& text);
// UTF-8 -> UTF-16, characters beyond the BMP as surrogate pairs (invalid
// sequences become '?').
std::u16string Utf8ToUtf16(const std::string& text);

// True when every byte sequence of text is well-formed UTF-8 (no overlong
// forms, surrogates or code points beyond U+10FFFF).
bool IsValidUtf8(const std::string& text);

}  // namespace platform
