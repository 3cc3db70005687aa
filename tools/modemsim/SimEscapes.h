#pragma once
// C-style escapes for the texts given on the command line and for the
// transcript, where control bytes must stay readable.
#include <string>

namespace modemsim {

// Decodes \r \n \t \" \\ \e (ESC) \xNN; any other backslash pair stays as it is.
std::string DecodeEscapes(const std::string& text);

// Printable ASCII stays, backslash becomes \\, \r \n \t stay named, every
// other byte becomes \xNN (Ctrl-Z is \x1a, ESC \x1b).
std::string EscapeBytes(const std::string& bytes);
// The same, but bytes from 0x80 up stay as they are, so that UTF-8 text
// stays readable.
std::string EscapeText(const std::string& text);

}  // namespace modemsim
