// Reports and messages of every shape, broken at random (octets changed,
// cut, added, hex digits replaced), through both decoders and the assembler.
// Fixed seed; meant to run under the sanitizers and in the Windows build too,
// where the fuzzer does not run.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "pdu/DecodeInvariants.h"

namespace {

constexpr int kRounds = 20000;

const char* const kSeeds[] = {
    "07919799000001F0062A0B919700112233F44250022100002142500221000521" "00",
    "0006FF0B819800112233F44250022100002142500221000521" "41030000",
    "07917283010010F5040BC87238880900F10000993092516195800AE8329BFD4697D9EC37",
    "07919799000001F0040BD0D6B0DC5D5E03000042500221000021" "05C8329BFD06",
    "00440B919700112233F4000042500221000021" "0C050003AB0302906536FB0D",
    "00440B919700112233F4000842500221000021" "100B0A0300000008041234030204140430",
    "00040B919700112233F4000042500221000021" "091BD4A6BC496D7820",
};

std::string Mutated(std::mt19937& random, std::string text) {
  auto below = [&random](std::size_t limit) {
    return std::uniform_int_distribution<std::size_t>(0, limit - 1)(random);
  };
  static const char kHex[] = "0123456789ABCDEF";
  const int changes = 1 + static_cast<int>(below(4));
  for (int i = 0; i < changes; ++i) {
    switch (below(5)) {
      case 0:  // a hex digit changed
        if (!text.empty()) text[below(text.size())] = kHex[below(16)];
        break;
      case 1:  // cut short
        text.resize(below(text.size() + 1));
        break;
      case 2:  // octets added
        for (std::size_t n = below(40); n > 0; --n) text += kHex[below(16)];
        break;
      case 3:  // a length or type octet set to anything
        if (text.size() >= 2) {
          const std::size_t at = below(text.size() / 2) * 2;
          text[at] = kHex[below(16)];
          text[at + 1] = kHex[below(16)];
        }
        break;
      default:  // any byte at all
        if (!text.empty()) text[below(text.size())] = static_cast<char>(below(256));
        break;
    }
  }
  return text;
}

TEST(PduDecodeRandom, BrokenPdusAreRefusedOrReadWithinTheirOctets) {
  std::mt19937 random(0x1251u);
  pdu::CPartAssembler assembler;
  for (int round = 0; round < kRounds && !::testing::Test::HasFailure(); ++round) {
    const std::string text = Mutated(random, kSeeds[round % std::size(kSeeds)]);
    SCOPED_TRACE("round " + std::to_string(round) + ": " + text);
    EXPECT_EQ("", pdu_test::CheckDecoding(text, assembler));
  }
}

}  // namespace
