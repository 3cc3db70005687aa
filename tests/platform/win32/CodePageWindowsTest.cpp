#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/CodePage.h"

namespace {

// The system's own converter for code page 1251 must agree with our table,
// byte for byte and unit for unit, so both builds convert alike.
TEST(CodePageWindows, EveryByteMatchesMultiByteToWideChar) {
  int differences = 0;
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    wchar_t unit = 0;
    ASSERT_EQ(MultiByteToWideChar(1251, 0, &byte, 1, &unit, 1), 1) << "byte " << b;
    const std::u16string ours = platform::Cp1251ToUtf16(std::string(1, byte));
    if (ours != std::u16string(1, static_cast<char16_t>(unit)) && differences++ < 10) {
      ADD_FAILURE() << "byte 0x" << std::hex << b << ": system U+" << int(unit) << ", ours U+"
                    << int(ours[0]);
    }
  }
  EXPECT_EQ(differences, 0);
}

TEST(CodePageWindows, EveryUnitMatchesWideCharToMultiByte) {
  int differences = 0;
  for (int u = 0; u < 0x10000; ++u) {
    const wchar_t unit = static_cast<wchar_t>(u);
    char byte = 0;
    BOOL usedDefault = FALSE;
    const int written =
        WideCharToMultiByte(1251, WC_NO_BEST_FIT_CHARS, &unit, 1, &byte, 1, "?", &usedDefault);
    const char system = written == 1 ? byte : '?';
    const std::string ours = platform::Utf16ToCp1251(std::u16string(1, static_cast<char16_t>(u)));
    if (ours != std::string(1, system) && differences++ < 10) {
      ADD_FAILURE() << "unit U+" << std::hex << u << ": system 0x"
                    << int(static_cast<unsigned char>(system)) << ", ours 0x"
                    << int(static_cast<unsigned char>(ours[0]));
    }
  }
  EXPECT_EQ(differences, 0);
}

}  // namespace
