#include "tools/modemsim/SimEscapes.h"

#include <cstdio>
#include <cstdlib>

namespace modemsim {

namespace {

struct NamedEscape {
  char letter;
  char byte;
  bool written;  // also used when escaping; the others are only read
};

constexpr NamedEscape kNamedEscapes[] = {
    {'\\', '\\', true}, {'r', '\r', true}, {'n', '\n', true},
    {'t', '\t', true},  {'"', '"', false}, {'e', '\x1b', false},
};

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

const NamedEscape* FindByLetter(char letter) {
  for (const NamedEscape& e : kNamedEscapes) {
    if (e.letter == letter) return &e;
  }
  return nullptr;
}

const NamedEscape* FindWrittenByte(char byte) {
  for (const NamedEscape& e : kNamedEscapes) {
    if (e.written && e.byte == byte) return &e;
  }
  return nullptr;
}

std::string Escape(const std::string& bytes, bool keepHighBytes) {
  std::string out;
  for (char c : bytes) {
    unsigned char u = static_cast<unsigned char>(c);
    if (const NamedEscape* e = FindWrittenByte(c)) {
      out += '\\';
      out += e->letter;
    } else if ((u >= 0x20 && u < 0x7f) || (keepHighBytes && u >= 0x80)) {
      out += c;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", u);
      out += hex;
    }
  }
  return out;
}

}  // namespace

std::string DecodeEscapes(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    char next = text[i + 1];
    if (next == 'x' && i + 3 < text.size() && IsHexDigit(text[i + 2]) && IsHexDigit(text[i + 3])) {
      out += static_cast<char>(std::strtol(text.substr(i + 2, 2).c_str(), nullptr, 16));
      i += 3;
    } else if (const NamedEscape* e = FindByLetter(next)) {
      out += e->byte;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string EscapeBytes(const std::string& bytes) { return Escape(bytes, false); }

std::string EscapeText(const std::string& text) { return Escape(text, true); }

}  // namespace modemsim
