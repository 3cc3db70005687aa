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
      {"1251 asked as UTF-8", kIvan1251, utf8, "???? 7", E::Utf8, S::Option},
      {"ASCII", "79123456701\r\n", std::nullopt, "79123456701\r\n", E::Cp1251, S::Default},
      {"beyond 1251: a pair of surrogates is one '?', a cut unit another",
       std::string("\xFF\xFE\x3D\xD8\x00\xDE\x37\x00\x38", 9), std::nullopt, "?7?", E::Utf16Le,
       S::ByteOrderMark},
  };
  for (const DecodingCase& row : cases) {
    SCOPED_TRACE(row.what);
    const CDecodedText decoded = DecodeFileText(row.bytes, row.asked);
    EXPECT_EQ(decoded.m_text, row.text);
    EXPECT_EQ(decoded.m_encoding, row.encoding);
    EXPECT_EQ(decoded.m_source, row.source);
  }
}

}  // namespace
