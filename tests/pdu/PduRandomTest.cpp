// Random numbers and texts through the whole pure path of a submission:
// clean, choose, build every PDU and its command. Fixed seed; meant to run
// under the sanitizers too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "modem/Pdu.h"

namespace {

constexpr int kRounds = 20000;
constexpr std::size_t kDialogueBuffer = 1024;  // PDU text + Ctrl-Z + terminator
constexpr std::size_t kCommandBuffer = 100;
constexpr std::size_t kHeaderHex = 28;  // through TP-VP, with the 12 address digits

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

std::string Cleaned(const std::string& raw, const char* set) {
  std::vector<char> buffer(raw.begin(), raw.end());
  buffer.push_back('\0');
  pdu::KeepChars(buffer.data(), set);
  return std::string(buffer.data());
}

int HexOctet(const std::string& pduText, std::size_t at) {
  return std::stoi(pduText.substr(at, 2), nullptr, 16);
}

// Structure of one PDU: hex only, TP-UDL agrees with the user data, fits the
// dialogue's buffers; the command announces its octets.
void CheckPdu(const std::string& pduText, int septets, int characters) {
  ASSERT_FALSE(pduText.empty());
  ASSERT_EQ(0u, pduText.size() % 2);
  for (char c : pduText) ASSERT_TRUE(std::isxdigit(static_cast<unsigned char>(c))) << pduText;
  ASSERT_LE(pduText.size() + 2, kDialogueBuffer);
  const int firstOctet = HexOctet(pduText, 2);
  const int dcs = HexOctet(pduText, kHeaderHex - 4);
  const int udl = HexOctet(pduText, kHeaderHex);
  const int dataOctets = static_cast<int>(pduText.size() - kHeaderHex - 2) / 2;
  if (dcs == 0x00) {
    EXPECT_EQ(0x11, firstOctet);
    EXPECT_EQ(septets, udl);
    EXPECT_EQ((7 * udl + 7) / 8, dataOctets);
  } else {
    EXPECT_EQ(0x08, dcs);
    EXPECT_EQ(udl, dataOctets);
    EXPECT_EQ(2 * characters + (firstOctet == 0x51 ? 6 : 0), udl);
  }
  const std::string command = pdu::CmgsCommand(pduText);
  EXPECT_EQ("at+cmgs=" + std::to_string(pduText.size() / 2 - 1) + "\r", command);
  EXPECT_LT(command.size(), kCommandBuffer);
}

void CheckSubmission(const std::string& rawNumber, const std::string& rawText, int reference) {
  const std::string number = Cleaned(rawNumber, pdu::kNumberChars);
  const std::string text = Cleaned(rawText, pdu::kTextChars);
  ASSERT_EQ(text.size(), std::strspn(text.c_str(), pdu::kTextChars));
  const pdu::Encoding encoding = pdu::ChooseEncoding(pdu::HasCyrillic(rawText.c_str()), text.c_str());
  std::string digits;
  if (!pdu::DestinationDigits(number.c_str(), encoding == pdu::Encoding::Gsm7, digits)) {
    EXPECT_TRUE(digits.empty());
    return;
  }
  const int characters = static_cast<int>(text.size());
  if (encoding == pdu::Encoding::Gsm7) {
    CheckPdu(pdu::Pdu7Bit(digits, text.c_str()), pdu::SeptetCount(text.c_str()), characters);
  } else if (encoding == pdu::Encoding::Ucs2) {
    CheckPdu(pdu::PduUcs2(digits, text.c_str()), 0, characters);
  } else {
    const int parts = pdu::PartCount(characters);
    for (int part = 1; part <= parts; ++part) {
      const int offset = (part - 1) * pdu::kPartChars;
      const int length = std::min(pdu::kPartChars, characters - offset);
      CheckPdu(pdu::PduMultipartPart(digits, text.c_str() + offset, length, reference, parts, part),
               0, length);
    }
  }
}

TEST(PduRandom, EveryPathGivesWellFormedPdus) {
  Source source(0x5eed1251u);
  for (int round = 0; round < kRounds && !::testing::Test::HasFailure(); ++round) {
    const std::string number = source.Number();
    const std::string text = source.Text();
    SCOPED_TRACE("round " + std::to_string(round));
    CheckSubmission(number, text, source.Below(1 << 16));
  }
}

}  // namespace
