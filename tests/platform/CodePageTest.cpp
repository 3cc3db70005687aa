#include <gtest/gtest.h>

#include <string>

#include "platform/CodePage.h"

namespace {

// Bytes of code page 1251 and their characters in Microsoft's published table.
struct KnownByte {
  unsigned char byte;
  char16_t unit;
};

constexpr KnownByte kKnownBytes[] = {
    {0x00, 0x0000}, {0x41, u'A'},   {0x7F, 0x007F}, {0x80, 0x0402}, {0x88, 0x20AC},
    {0x98, 0x0098}, {0xA0, 0x00A0}, {0xA8, 0x0401}, {0xB8, 0x0451}, {0xB9, 0x2116},
    {0xC0, 0x0410}, {0xDF, 0x042F}, {0xE0, 0x0430}, {0xFF, 0x044F},
};

std::string AllBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes;
}

TEST(CodePage, KnownBytesMapToTheirCharactersBothWays) {
  for (const KnownByte& known : kKnownBytes) {
    const std::string byte(1, static_cast<char>(known.byte));
    EXPECT_EQ(platform::Cp1251ToUtf16(byte), std::u16string(1, known.unit))
        << "byte 0x" << std::hex << int(known.byte);
    EXPECT_EQ(platform::Utf16ToCp1251(std::u16string(1, known.unit)), byte)
        << "unit 0x" << std::hex << int(known.unit);
  }
}

TEST(CodePage, EveryByteSurvivesTheRoundTrip) {
  const std::string bytes = AllBytes();
  const std::u16string units = platform::Cp1251ToUtf16(bytes);
  ASSERT_EQ(units.size(), 256u);
  const std::string back = platform::Utf16ToCp1251(units);
  for (int b = 0; b < 256; ++b) EXPECT_EQ(back[b], bytes[b]) << "first difference at " << b;
}

TEST(CodePage, CharactersOutside1251BecomeQuestionMarks) {
  EXPECT_EQ(platform::Utf16ToCp1251(u"a\u00E9b"), "a?b");   // é
  EXPECT_EQ(platform::Utf16ToCp1251(u"\u4E2D\u0100"), "??");
  EXPECT_EQ(platform::Utf16ToCp1251(std::u16string(1, char16_t(0xD83D))), "?");  // lone surrogate
}

TEST(CodePage, CyrillicWordConvertsToUnicode) {
  // "Привет" in 1251: CF F0 E8 E2 E5 F2.
  EXPECT_EQ(platform::Cp1251ToUtf16("\xCF\xF0\xE8\xE2\xE5\xF2"), u"Привет");
  EXPECT_EQ(platform::Utf16ToCp1251(u"Ёё №"), "\xA8\xB8 \xB9");
}

struct Utf8Case {
  const char* name;
  std::string utf8;
  std::string cp1251;
};

TEST(CodePage, Utf8ToCp1251HandlesValidAndInvalidInput) {
  const Utf8Case cases[] = {
      {"ascii", "AT+CMGS", "AT+CMGS"},
      {"cyrillic", u8"Привет", "\xCF\xF0\xE8\xE2\xE5\xF2"},
      {"euro and numero", u8"€№", "\x88\xB9"},
      {"not in 1251", u8"é", "?"},
      {"beyond the BMP", "x\xF0\x9F\x98\x80y", "x?y"},
      {"stray continuation", "a\x80" "b", "a?b"},
      {"truncated at end", "a\xD0", "a?"},
      {"truncated before ascii", "a\xE2\x82" "b", "a?b"},
      {"overlong", "\xC0\x80", "?"},
      {"surrogate", "\xED\xA0\x80", "?"},
      {"invalid lead", "\xFF\xFE", "??"},
  };
  for (const Utf8Case& c : cases) {
    EXPECT_EQ(platform::Utf8ToCp1251(c.utf8), c.cp1251) << c.name;
  }
}

TEST(CodePage, Cp1251ToUtf8GivesUtf8OfEveryByte) {
  EXPECT_EQ(platform::Cp1251ToUtf8("\xC0\xFF\x88 ok"), u8"Ая€ ok");
  const std::string bytes = AllBytes();
  EXPECT_EQ(platform::Utf8ToCp1251(platform::Cp1251ToUtf8(bytes)), bytes);
}

}  // namespace
