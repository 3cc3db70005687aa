#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "platform/CodePage.h"

namespace {

// glibc's own CP1251 converter as an independent decoder. It leaves 0x98
// undefined, where Windows (and our table) give U+0098.
TEST(CodePage, TableAgreesWithTheCLibraryConverter) {
  iconv_t converter = iconv_open("UTF-16LE", "CP1251");
  ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1));
  for (int b = 0; b < 256; ++b) {
    if (b == 0x98) continue;
    char in = static_cast<char>(b);
    unsigned char out[4] = {};
    char* inPtr = &in;
    char* outPtr = reinterpret_cast<char*>(out);
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    ASSERT_NE(iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<size_t>(-1)) << b;
    const char16_t expected = static_cast<char16_t>(out[0] | (out[1] << 8));
    EXPECT_EQ(platform::Cp1251ToUtf16(std::string(1, in)), std::u16string(1, expected))
        << "byte " << b;
  }
  iconv_close(converter);
}

}  // namespace
