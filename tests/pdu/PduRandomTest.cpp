// Random numbers and texts through the whole pure path of a submission:
// clean, choose, build every PDU and its command. Fixed seed; meant to run
// under the sanitizers too.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "modem/Pdu.h"
#include "pdu/PduInvariants.h"

namespace {

constexpr int kRounds = 20000;

class Source {
 public:
  explicit Source(unsigned seed) : m_random(seed) {}

  int Below(int limit) { return std::uniform_int_distribution<int>(0, limit - 1)(m_random); }

  // Half the bytes from set, the rest any non-zero byte.
  std::string Bytes(int length, const char* set) {
    const int setSize = static_cast<int>(std::strlen(set));
    std::string bytes;
    for (int i = 0; i < length; ++i) {
      bytes += Below(2) == 0 ? set[Below(setSize)] : static_cast<char>(1 + Below(255));
    }
    return bytes;
  }

  // Mostly numbers of 10 or 11 digits with some noise, so that many pass.
  std::string Number() {
    if (Below(4) == 0) return Bytes(Below(20), pdu::kNumberChars);
    std::string number = Below(2) == 0 ? "+" : "";
    const int digits = 10 + Below(2);
    for (int i = 0; i < digits; ++i) number += static_cast<char>('0' + Below(10));
    if (Below(3) == 0) number.insert(Below(static_cast<int>(number.size()) + 1), Bytes(1, " -()"));
    return number;
  }

  // Lengths cluster around the limits of one PDU.
  std::string Text() {
    static const int kLengths[] = {0, 7, 67, 70, 71, 160, 161, 200, 498, 700};
    const int length = Below(2) == 0 ? Below(600) : kLengths[Below(10)] + Below(3) - 1;
    return Bytes(length < 0 ? 0 : length, pdu::kTextChars);
  }

 private:
  std::mt19937 m_random;
};

TEST(PduRandom, EveryPathGivesWellFormedPdus) {
  Source source(0x5eed1251u);
  for (int round = 0; round < kRounds && !::testing::Test::HasFailure(); ++round) {
    const std::string number = source.Number();
    const std::string text = source.Text();
    SCOPED_TRACE("round " + std::to_string(round));
    EXPECT_EQ("", pdu_test::CheckSubmission(number, text, source.Below(1 << 16)));
  }
}

}  // namespace
