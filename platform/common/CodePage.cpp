#include "platform/CodePage.h"

#include <cstdint>

namespace platform {
namespace {

// Bytes 0x80-0xFF of Microsoft's code page 1251 (0x00-0x7F are ASCII). 0x98
// has no character; Windows maps it to U+0098 both ways, and so do we.
constexpr char16_t kUpperHalf[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

char16_t ByteToUnit(unsigned char byte) {
  return byte < 0x80 ? static_cast<char16_t>(byte) : kUpperHalf[byte - 0x80];
}

char UnitToByte(char16_t unit) {
  char byte = '?';
  UnitToCp1251(unit, byte);
  return byte;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

struct Utf8Lead {
  unsigned char mask;   // bits of the lead byte that must equal pattern
  unsigned char pattern;
  int length;           // bytes of the whole sequence
  uint32_t minimum;     // smallest code point that needs this length
};

constexpr Utf8Lead kUtf8Leads[] = {
    {0x80, 0x00, 1, 0x0},
    {0xE0, 0xC0, 2, 0x80},
    {0xF0, 0xE0, 3, 0x800},
    {0xF8, 0xF0, 4, 0x10000},
};

}  // namespace

size_t DecodeUtf8At(const std::string& text, size_t pos, uint32_t& codePoint) {
  const unsigned char lead = static_cast<unsigned char>(text[pos]);
  codePoint = kNoCodePoint;
  for (const Utf8Lead& form : kUtf8Leads) {
    if ((lead & form.mask) != form.pattern) continue;
    uint32_t value = lead & static_cast<unsigned char>(~form.mask);
    for (int i = 1; i < form.length; ++i) {
      if (pos + i >= text.size()) return static_cast<size_t>(i);
      const unsigned char next = static_cast<unsigned char>(text[pos + i]);
      if (!IsContinuation(next)) return static_cast<size_t>(i);
      value = (value << 6) | (next & 0x3F);
    }
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    if (value >= form.minimum && value <= 0x10FFFF && !surrogate) codePoint = value;
    return static_cast<size_t>(form.length);
  }
  return 1;
}

bool UnitToCp1251(char16_t unit, char& byte) {
  if (unit < 0x80) {
    byte = static_cast<char>(unit);
    return true;
  }
  for (int i = 0; i < 128; ++i) {
    if (kUpperHalf[i] == unit) {
      byte = static_cast<char>(0x80 + i);
      return true;
    }
  }
  return false;
}

namespace {

void AppendUtf8(char16_t unit, std::string& out) {
  if (unit < 0x80) {
    out += static_cast<char>(unit);
  } else if (unit < 0x800) {
    out += static_cast<char>(0xC0 | (unit >> 6));
    out += static_cast<char>(0x80 | (unit & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (unit >> 12));
    out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (unit & 0x3F));
  }
}

}  // namespace

std::u16string Cp1251ToUtf16(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (char byte : text) out += ByteToUnit(static_cast<unsigned char>(byte));
  return out;
}

std::string Utf16ToCp1251(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t unit : text) out += UnitToByte(unit);
  return out;
}

// Characters beyond the BMP have no 1251 byte; one '?' stands for each.
std::string Utf8ToCp1251(const std::string& text) {
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    uint32_t codePoint = 0;
    pos += DecodeUtf8At(text, pos, codePoint);
    out += codePoint <= 0xFFFF ? UnitToByte(static_cast<char16_t>(codePoint)) : '?';
  }
  return out;
}

std::u16string Utf8ToUtf16(const std::string& text) {
  std::u16string out;
  size_t pos = 0;
  while (pos < text.size()) {
    uint32_t codePoint = 0;
    pos += DecodeUtf8At(text, pos, codePoint);
    if (codePoint == kNoCodePoint) {
      out += u'?';
    } else if (codePoint > 0xFFFF) {
      out += static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(codePoint);
    }
  }
  return out;
}

bool IsValidUtf8(const std::string& text) {
  size_t pos = 0;
  while (pos < text.size()) {
    uint32_t codePoint = 0;
    pos += DecodeUtf8At(text, pos, codePoint);
    if (codePoint == kNoCodePoint) return false;
  }
  return true;
}

std::string Cp1251ToUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char byte : text) AppendUtf8(ByteToUnit(static_cast<unsigned char>(byte)), out);
  return out;
}

}  // namespace platform
