#pragma once
// The GSM 7-bit default alphabet and its extension table (3GPP TS 23.038
// 6.2.1), as a phone shows them, for the text of text-mode submissions.
#include <string>

namespace modemsim {

// The character of a default-alphabet code (0 to 127; higher bits ignored).
char32_t GsmCharacter(unsigned char code);

// How many septets a character takes in a 7-bit message: 1 in the default
// alphabet, 2 in the extension table (escape and code), 0 when it has none
// (a modem puts a question mark in its place).
int GsmSeptets(char32_t character);

// Appends the UTF-8 bytes of a character (U+FFFD for one beyond Unicode).
void AppendUtf8(char32_t character, std::string& out);

}  // namespace modemsim
