#include "pdu/PduInvariants.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "modem/Pdu.h"

namespace pdu_test {
namespace {

constexpr std::size_t kDialogueBuffer = 1024;  // PDU text + Ctrl-Z + terminator
constexpr std::size_t kCommandBuffer = 100;
constexpr std::size_t kUdlHex = 28;  // TP-UDL follows TP-VP, after the 12 address digits
constexpr std::size_t kDcsHex = 24;

std::string Cleaned(const std::string& raw, const char* set) {
  std::vector<char> buffer(raw.begin(), raw.end());
  buffer.push_back('\0');
  pdu::KeepChars(buffer.data(), set);
  return std::string(buffer.data());
}

int HexOctet(const std::string& pduText, std::size_t at) {
  return std::stoi(pduText.substr(at, 2), nullptr, 16);
}

std::string Mismatch(const char* what, int expected, int actual, const std::string& pduText) {
  return std::string(what) + ": expected " + std::to_string(expected) + ", got " +
         std::to_string(actual) + " in " + pduText;
}

// septets: for 7-bit; characters: for UCS2 and parts.
std::string CheckPdu(const std::string& pduText, int septets, int characters) {
  if (pduText.size() < kUdlHex + 2 || pduText.size() % 2 != 0) return "bad PDU length: " + pduText;
  for (char c : pduText) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return "not hex: " + pduText;
  }
  if (pduText.size() + 2 > kDialogueBuffer) return "PDU too long for the buffer: " + pduText;
  const int firstOctet = HexOctet(pduText, 2);
  const int dcs = HexOctet(pduText, kDcsHex);
  const int udl = HexOctet(pduText, kUdlHex);
  const int dataOctets = static_cast<int>(pduText.size() - kUdlHex - 2) / 2;
  if (dcs == 0x00) {
    if (firstOctet != 0x11) return Mismatch("first octet", 0x11, firstOctet, pduText);
    if (udl != septets) return Mismatch("TP-UDL", septets, udl, pduText);
    if (dataOctets != (7 * udl + 7) / 8) return Mismatch("octets", (7 * udl + 7) / 8, dataOctets, pduText);
  } else {
    if (dcs != 0x08) return Mismatch("TP-DCS", 0x08, dcs, pduText);
    if (udl != dataOctets) return Mismatch("octets", udl, dataOctets, pduText);
    const int expected = 2 * characters + (firstOctet == 0x51 ? 6 : 0);
    if (udl != expected) return Mismatch("TP-UDL", expected, udl, pduText);
  }
  const std::string command = pdu::CmgsCommand(pduText);
  if (command != "at+cmgs=" + std::to_string(pduText.size() / 2 - 1) + "\r") return "command " + command;
  if (command.size() >= kCommandBuffer) return "command too long: " + command;
  return std::string();
}

std::string CheckParts(const std::string& digits, const std::string& text, int reference) {
  const int characters = static_cast<int>(text.size());
  const int parts = pdu::PartCount(characters);
  for (int part = 1; part <= parts; ++part) {
    const int offset = (part - 1) * pdu::kPartChars;
    const int length = std::min(pdu::kPartChars, characters - offset);
    const std::string problem = CheckPdu(
        pdu::PduMultipartPart(digits, text.c_str() + offset, length, reference, parts, part), 0,
        length);
    if (!problem.empty()) return "part " + std::to_string(part) + ": " + problem;
  }
  return std::string();
}

}  // namespace

std::string CheckSubmission(const std::string& rawNumber, const std::string& rawText,
                            int reference) {
  const std::string number = Cleaned(rawNumber, pdu::kNumberChars);
  const std::string text = pdu::CleanMessage(rawText.c_str());
  if (std::strspn(text.c_str(), pdu::kTextChars) != text.size()) return "not cleaned: " + text;
  const pdu::Encoding encoding = pdu::ChooseEncoding(pdu::HasCyrillic(text.c_str()), text.c_str());
  std::string digits;
  if (!pdu::DestinationDigits(number.c_str(), encoding == pdu::Encoding::Gsm7, digits)) {
    return digits.empty() ? std::string() : "digits left after a refused number";
  }
  switch (encoding) {
    case pdu::Encoding::Gsm7:
      return CheckPdu(pdu::Pdu7Bit(digits, text.c_str()), pdu::SeptetCount(text.c_str()), 0);
    case pdu::Encoding::Ucs2:
      return CheckPdu(pdu::PduUcs2(digits, text.c_str()), 0, static_cast<int>(text.size()));
    case pdu::Encoding::Ucs2Multipart:
      return CheckParts(digits, text, reference);
  }
  return "unknown encoding";
}

}  // namespace pdu_test
