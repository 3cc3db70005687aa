// Cleaning of texts and numbers, destination digits and reply references.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "modem/Pdu.h"
#include "pdu/HexCompare.h"

namespace {

using pdu_test::SameText;

// The permitted set written out independently of kTextChars.
bool Permitted(unsigned char c) {
  static const char kSigns[] = ".,;:\"?!@#$%&*()-+=\\/";
  return c == ' ' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         c >= 0xC0 || (c != 0 && std::strchr(kSigns, c) != nullptr);
}

std::string Kept(std::string text, const char* set) {
  pdu::KeepChars(&text[0], set);
  return std::string(text.c_str());
}

TEST(KeepChars, KeepsExactlyThePermittedBytesInOrder) {
  std::string every;
  std::string expected;
  for (int c = 1; c < 256; ++c) {
    every += static_cast<char>(c);
    if (Permitted(static_cast<unsigned char>(c))) expected += static_cast<char>(c);
  }
  EXPECT_EQ(147u, std::strlen(pdu::kTextChars));
  EXPECT_EQ(147u, expected.size());
  EXPECT_TRUE(SameText(Kept(every, pdu::kTextChars), expected));
}

TEST(KeepChars, CleansTextsAndNumbers) {
  struct Case {
    const char* input;
    const char* set;
    const char* expected;
  };
  const Case cases[] = {
      {"one\r\ntwo", pdu::kTextChars, "onetwo"},
      {"\r\n\t'<>[]{}_^`|~", pdu::kTextChars, ""},
      {"\x80\xA8\xB8\xBF", pdu::kTextChars, ""},  // Ё and ё among them
      {"Ёлка ёж", pdu::kTextChars, "лка ж"},
      {"a_b [c] {d} e~f", pdu::kTextChars, "ab c d ef"},
      {"Цена: 5$ @ 10% (А\\Б/В)", pdu::kTextChars, "Цена: 5$ @ 10% (А\\Б/В)"},
      {"+1 (234) 567-89-01", pdu::kNumberChars, "+12345678901"},
      {"tel. 8-916", pdu::kNumberChars, "8916"},
      {"", pdu::kTextChars, ""},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(SameText(Kept(c.input, c.set), c.expected)) << "input: " << c.input;
  }
}

TEST(CleanMessage, ReadsOnThePhoneAsTyped) {
  struct Case {
    const char* typed;
    const char* sent;
  };
  const Case cases[] = {
      {"Привет,\r\nмир", "Привет, мир"},
      {"one\r\ntwo", "one two"},
      {"a\nb\rc\td", "a b c d"},
      {"\r\n\r\n", "  "},
      {"\n\r", "  "},  // LF CR is two line ends
      {"всё", "все"},
      {"ёжик Ёлка", "ежик Елка"},
      {"a_b [c] {d} e~f'<>", "ab c d ef"},
      {"\x80\xA7\xB9\xBF", ""},
      {"Цена: 5$ @ 10% (А\\Б/В)", "Цена: 5$ @ 10% (А\\Б/В)"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(SameText(pdu::CleanMessage(c.typed), c.sent)) << "typed: " << c.typed;
  }
}

TEST(HasCyrillic, LooksForLettersOfCodePage1251) {
  EXPECT_TRUE(pdu::HasCyrillic("Hello мир"));
  EXPECT_TRUE(pdu::HasCyrillic("\xC0"));
  EXPECT_TRUE(pdu::HasCyrillic("\xFF"));
  EXPECT_FALSE(pdu::HasCyrillic("Hello \xA8\xB8\xBF"));  // Ё, ё and 0xBF are not counted
  EXPECT_FALSE(pdu::HasCyrillic(""));
}

TEST(DestinationDigits, SwapsSemiOctetsOfElevenDigits) {
  struct Case {
    const char* number;
    bool allowTen;
    bool ok;
    const char* digits;
  };
  const Case cases[] = {
      {"+12345678901", false, true, "2143658709F1"},
      {"12345678901", false, true, "2143658709F1"},
      {"9161234567", true, true, "9761214365F7"},
      {"+9161234567", true, true, "9761214365F7"},
      {"9161234567", false, false, ""},
      {"1234567890123", true, false, ""},
      {"123456789012", true, false, ""},
      {"123456789", true, false, ""},
      {"", true, false, ""},
      {"+", true, false, ""},
      {"++12345678901", true, false, ""},
      // A "+" that is not leading would end up in the address digits.
      {"1234567890+", true, false, ""},
      {"12345+678901", false, false, ""},
      {"+123456789+", true, false, ""},
  };
  for (const Case& c : cases) {
    std::string digits = "stale";
    EXPECT_EQ(c.ok, pdu::DestinationDigits(c.number, c.allowTen, digits)) << c.number;
    EXPECT_EQ(c.digits, digits) << c.number;
  }
}

TEST(ParseReference, ReadsAtMostNineDigitsAfterThePrefixInEveryForm) {
  struct Case {
    const char* reply;
    int reference;
  };
  const Case cases[] = {
      {"\r\n+CMGS: 17\r\n\r\nOK\r\n", 17},
      {"at+cmgs=19\r\r\n> 0011\x1A\r\n+CMGS: 255\r\n\r\nOK\r\n", 255},
      {"\r\n+CMGS: 0\r\n\r\nOK\r\n", pdu::kReportedZero},  // TP-MR wrapped round
      {"+CMGS: 000", pdu::kReportedZero},
      {"+CMGS: \r\nOK", 0},
      {"\r\nOK\r\n", 0},
      {"", 0},
      {"+CMGS:17", 17},  // without the blank, as some modems and phones write it
      {"+CMGS: 12,\"26/12/08,10:00:00+12\"", 12},  // with the service centre's time
      {"+CMGS:  7,0891", 7},
      {"+CMGS: x1", 0},
      {"+CMGS: 12345678901234567890\r\nOK", 123456789},
      {"+CMGS: 999999999999", 999999999},
      {"+CMGS: 0042", 42},
  };
  for (const Case& c : cases) EXPECT_EQ(c.reference, pdu::ParseReference(c.reply)) << c.reply;
}

}  // namespace
