// List and message files in the encodings operators' editors save: a byte
// order mark decides, then the option, then what the bytes are.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tools/varnek-send/TextDecoding.h"

namespace {

// "Иван 7" in code page 1251, UTF-8 and UTF-16.
constexpr char kIvan1251[] = "\xC8\xE2\xE0\xED 7";
constexpr char kIvanUtf8[] = "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD 7";
const std::string kIvanUtf16Le("\x18\x04\x32\x04\x30\x04\x3D\x04\x20\x00\x37\x00", 12);
const std::string kIvanUtf16Be("\x04\x18\x04\x32\x04\x30\x04\x3D\x00\x20\x00\x37", 12);

struct DecodingCase {
  const char* what;
  std::string bytes;
  std::optional<TextEncoding> asked;
  std::string text;  // 1251
  FileEncoding encoding;
  EncodingSource source;
  TextUse use = TextUse::List;
};

TEST(TextDecoding, TheFileShowsItsEncodingOrTheOptionNamesIt) {
  using E = FileEncoding;
  using S = EncodingSource;
  const auto cp1251 = std::optional<TextEncoding>(TextEncoding::Cp1251);
  const auto utf8 = std::optional<TextEncoding>(TextEncoding::Utf8);
  const DecodingCase cases[] = {
      {"UTF-8 mark over the option", std::string("\xEF\xBB\xBF") + kIvanUtf8, cp1251, kIvan1251,
       E::Utf8, S::ByteOrderMark},
      {"UTF-16 LE mark (Notepad's Unicode)", "\xFF\xFE" + kIvanUtf16Le, std::nullopt, kIvan1251,
       E::Utf16Le, S::ByteOrderMark},
      {"UTF-16 BE mark", "\xFE\xFF" + kIvanUtf16Be, utf8, kIvan1251, E::Utf16Be, S::ByteOrderMark},
      {"a mark alone", "\xFF\xFE", std::nullopt, "", E::Utf16Le, S::ByteOrderMark},
      {"UTF-8 without a mark", kIvanUtf8, std::nullopt, kIvan1251, E::Utf8, S::Detected},
      {"UTF-8 read as asked", kIvanUtf8, cp1251, kIvanUtf8, E::Cp1251, S::Option},
      {"1251 is no UTF-8", kIvan1251, std::nullopt, kIvan1251, E::Cp1251, S::Default},
      {"ASCII", "79123456701\r\n", std::nullopt, "79123456701\r\n", E::Cp1251, S::Default},
      {"beyond 1251 in a list: a pair of surrogates is one '?'",
       std::string("\xFF\xFE\x3D\xD8\x00\xDE\x37\x00", 8), std::nullopt, "?7", E::Utf16Le,
       S::ByteOrderMark},
      {"a list keeps its zero bytes for the loader", std::string("7\0" "1", 3), std::nullopt,
       std::string("7\0" "1", 3), E::Cp1251, S::Default},
      {"a mark inside a list, for the loader to skip",
       "\xEF\xBB\xBF" "1\n\xEF\xBB\xBF" "2 " + std::string(kIvanUtf8), std::nullopt,
       "1\n\xEF\xBB\xBF" "2 " + std::string(kIvan1251), E::Utf8, S::ByteOrderMark},
      {"a mark inside a message is dropped", std::string("\xFF\xFEH\0\xFF\xFEi\0", 8), std::nullopt, "Hi",
       E::Utf16Le, S::ByteOrderMark, TextUse::Message},
      {"Ё and signs of 1251 in a message", "\xD0\x81 \xE2\x84\x96", utf8, "\xA8 \xB9", E::Utf8,
       S::Option, TextUse::Message},
  };
  for (const DecodingCase& row : cases) {
    SCOPED_TRACE(row.what);
    const CDecodedText decoded = DecodeFileText(row.bytes, row.asked, row.use);
    EXPECT_FALSE(decoded.m_fault) << "at " << (decoded.m_fault ? decoded.m_fault->m_offset : 0);
    EXPECT_EQ(decoded.m_text, row.text);
    EXPECT_EQ(decoded.m_encoding, row.encoding);
    EXPECT_EQ(decoded.m_source, row.source);
  }
}

struct FaultCase {
  const char* what;
  std::string bytes;
  std::optional<TextEncoding> asked;
  TextUse use;
  FileEncoding encoding;  // read as
  TextFaultKind kind;
  size_t line, offset;
};

TEST(TextDecoding, WhatCannotBeReadIsRefusedWithItsPlace) {
  using E = FileEncoding;
  using K = TextFaultKind;
  const auto utf8 = std::optional<TextEncoding>(TextEncoding::Utf8);
  const auto none = std::optional<TextEncoding>();
  const std::string brokenUtf8 = std::string("79123456701 ") + kIvanUtf8 + "\r\n79123456702 \xD0";
  const FaultCase cases[] = {
      {"a 1251 file read as UTF-8", std::string("1 ") + kIvan1251, utf8, TextUse::List, E::Utf8,
       K::BadSequence, 1, 2},
      {"UTF-8 with a broken character", brokenUtf8, none, TextUse::List, E::Utf8, K::BadSequence,
       2, brokenUtf8.size() - 1},
      {"UTF-8 with a broken character, after its mark", "\xEF\xBB\xBF\n\n\n\xC0\x80", none,
       TextUse::List, E::Utf8, K::BadSequence, 4, 6},
      {"a lone CR ends a line, CR LF one", "a\rb\r\nc\n\xFF", utf8, TextUse::Message, E::Utf8,
       K::BadSequence, 4, 7},
      {"UTF-16 cut in its last character", std::string("\xFF\xFE\x37\x00\x38", 5), none,
       TextUse::List, E::Utf16Le, K::BadSequence, 1, 4},
      {"UTF-16 with a lone surrogate", std::string("\xFE\xFF\x00\x37\xDC\x00\x00\x38", 8), none,
       TextUse::List, E::Utf16Be, K::BadSequence, 1, 4},
      {"a zero byte in a message", std::string("Hi\n\0there", 9), none, TextUse::Message,
       E::Cp1251, K::ZeroByte, 2, 3},
      {"a zero unit in a UTF-16 message", std::string("\xFF\xFEH\0\0\0", 6), none,
       TextUse::Message, E::Utf16Le, K::ZeroByte, 1, 4},
      {"a character 1251 lacks in a message", "Hi \xF0\x9F\x98\x80", none, TextUse::Message,
       E::Utf8, K::NotIn1251, 1, 3},
  };
  for (const FaultCase& row : cases) {
    SCOPED_TRACE(row.what);
    const CDecodedText decoded = DecodeFileText(row.bytes, row.asked, row.use);
    ASSERT_TRUE(decoded.m_fault);
    EXPECT_EQ(decoded.m_encoding, row.encoding);
    EXPECT_EQ(decoded.m_fault->m_kind, row.kind);
    EXPECT_EQ(decoded.m_fault->m_line, row.line);
    EXPECT_EQ(decoded.m_fault->m_offset, row.offset);
    EXPECT_EQ(decoded.m_text, "");
  }
  EXPECT_EQ(DecodeText("Hi \xF0\x9F\x98\x80", E::Utf8, TextUse::Message).m_fault->m_codePoint,
            0x1F600u);
}

}  // namespace
