#pragma once
// Code page 1251 <-> UTF-16 by one exact table, the same on every platform.
// Characters that 1251 lacks become '?'.
#include <cstddef>
#include <cstdint>
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

// The code point of a UTF-8 sequence that is not well-formed.
constexpr uint32_t kNoCodePoint = 0xFFFFFFFF;
// Decodes the UTF-8 sequence at text[pos] (pos < size): gives its length in
// bytes, at least 1, and its code point, kNoCodePoint when it is not
// well-formed (the length then covers the bytes that belong to the bad
// sequence).
size_t DecodeUtf8At(const std::string& text, size_t pos, uint32_t& codePoint);

// The 1251 byte of one UTF-16 unit; false when 1251 lacks the character.
bool UnitToCp1251(char16_t unit, char& byte);

}  // namespace platform
