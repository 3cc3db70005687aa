// SMS-SUBMIT PDUs as hex text (3GPP TS 23.040 9.2.2.2). Without a service
// centre of its own a PDU opens with "00", so that the modem uses the one it
// has stored.
#include "modem/Pdu.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "modem/GsmAlphabet.h"

namespace pdu {
namespace {

// First octet: SMS-SUBMIT (TP-MTI 01) with a relative validity period
// (TP-VPF 10); TP-UDHI adds the concatenation header, TP-SRR asks for a
// status report (TS 23.040 9.2.3.5).
constexpr unsigned kFirstOctet = 0x11;
constexpr unsigned kUserDataHeader = 0x40;
constexpr unsigned kStatusReportRequest = 0x20;
// After the first octet: TP-MR 00 lets the modem choose; destination of 11
// digits, type 91 = international, E.164; TP-PID 00; TP-DCS 00 = GSM 7-bit
// default alphabet or 08 = UCS2 (TS 23.038 4); TP-VP AA = 4 days; then TP-UDL.
constexpr char kHeader7Bit[] = "000B91%s0000AA%02X";
constexpr char kHeaderUcs2[] = "000B91%s0008AA%02X";
// The user data header: length 05, information element 00 = concatenated
// short message with 8-bit reference (TS 23.040 9.2.3.24.1), length 03, then
// reference, total parts, this part.
constexpr char kHeaderPart[] = "000B91%s0008AA%02X050003%02X%02X%02X";
constexpr int kPartHeaderOctets = 6;  // the user data header with its length octet
constexpr int kMaxParts = 255;        // the part numbers are single octets
constexpr std::size_t kDigitsLength = 12;

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...) {
  char buffer[64];
  va_list args;
  va_start(args, format);
  const int written = std::vsnprintf(buffer, sizeof(buffer), format, args);
  va_end(args);
  return written < 0 ? std::string() : std::string(buffer);
}

bool OnlyTextChars(const char* text, std::size_t length) {
  return std::strspn(text, kTextChars) >= length;
}

// UCS2 of TS 23.038 is UTF-16 big-endian: ASCII keeps its code, the Cyrillic
// letters 0xC0..0xFF of code page 1251 are U+0410..U+044F.
unsigned Ucs2Code(unsigned char c) { return c >= 0xC0 ? 0x0410u + (c - 0xC0u) : c; }

void AppendUcs2(std::string& pduText, const char* text, int length) {
  for (int i = 0; i < length; ++i) {
    pduText += Format("%04x", Ucs2Code(static_cast<unsigned char>(text[i])));
  }
}

// The octet written by two hex digits at text, -1 when they are not hex.
int HexOctetAt(const char* text) {
  const char* digits = "0123456789ABCDEF0123456789abcdef";
  const char* high = text[0] != '\0' ? std::strchr(digits, text[0]) : nullptr;
  const char* low = text[0] != '\0' && text[1] != '\0' ? std::strchr(digits, text[1]) : nullptr;
  if (high == nullptr || low == nullptr) return -1;
  return static_cast<int>((high - digits) % 16 * 16 + (low - digits) % 16);
}

// The service-centre field and the first octet; false when the service
// centre is refused.
bool Opening(const SubmitOptions& options, unsigned firstOctet, std::string& opening) {
  if (!ServiceCentreField(options.serviceCentre.c_str(), opening)) return false;
  if (options.statusReport) firstOctet |= kStatusReportRequest;
  opening += Format("%02X", firstOctet);
  return true;
}

}  // namespace

int SeptetCount(const char* text) { return static_cast<int>(GsmSeptets(text).size()); }

Encoding ChooseEncoding(bool cyrillic, const char* cleanedMessage) {
  if (cyrillic) {
    return std::strlen(cleanedMessage) <= kMaxUcs2Chars ? Encoding::Ucs2 : Encoding::Ucs2Multipart;
  }
  return SeptetCount(cleanedMessage) <= kMaxSeptets ? Encoding::Gsm7 : Encoding::Ucs2Multipart;
}

MessageForm FormOfMessage(const char* cleanedMessage) {
  const Encoding encoding = ChooseEncoding(HasCyrillic(cleanedMessage), cleanedMessage);
  const int characters = static_cast<int>(std::strlen(cleanedMessage));
  return {encoding, encoding == Encoding::Ucs2Multipart ? PartCount(characters) : 1};
}

bool CanAddress(const char* cleanedNumber, Encoding encoding) {
  std::string digits;
  return DestinationDigits(cleanedNumber, encoding == Encoding::Gsm7, digits);
}

std::string Pdu7Bit(const std::string& digits, const char* text, const SubmitOptions& options) {
  std::string pduText;
  if (digits.size() != kDigitsLength || !OnlyTextChars(text, std::strlen(text)) ||
      HasCyrillic(text) || !Opening(options, kFirstOctet, pduText)) {
    return std::string();
  }
  const std::vector<unsigned char> septets = GsmSeptets(text);
  if (septets.size() > kMaxSeptets) return std::string();
  // TP-UDL counts septets for the default alphabet (TS 23.040 9.2.3.16).
  pduText += Format(kHeader7Bit, digits.c_str(), static_cast<unsigned>(septets.size()));
  for (unsigned char octet : PackSeptets(septets)) pduText += Format("%02X", octet);
  return pduText;
}

std::string PduUcs2(const std::string& digits, const char* text, const SubmitOptions& options) {
  const std::size_t length = std::strlen(text);
  std::string pduText;
  if (digits.size() != kDigitsLength || length > kMaxUcs2Chars || !OnlyTextChars(text, length) ||
      !Opening(options, kFirstOctet, pduText)) {
    return std::string();
  }
  // TP-UDL counts octets for UCS2: two per character.
  pduText += Format(kHeaderUcs2, digits.c_str(), static_cast<unsigned>(2 * length));
  AppendUcs2(pduText, text, static_cast<int>(length));
  return pduText;
}

int PartCount(int characters) { return (characters + kPartChars - 1) / kPartChars; }

std::string PduMultipartPart(const std::string& digits, const char* text, int length,
                             int reference, int parts, int part, const SubmitOptions& options) {
  std::string pduText;
  if (digits.size() != kDigitsLength || length < 1 || length > kPartChars || parts < 1 ||
      parts > kMaxParts || part < 1 || part > parts ||
      !OnlyTextChars(text, static_cast<std::size_t>(length)) ||
      !Opening(options, kFirstOctet | kUserDataHeader, pduText)) {
    return std::string();
  }
  // TP-UDL counts the user data header too.
  pduText += Format(kHeaderPart, digits.c_str(),
                               static_cast<unsigned>(2 * length + kPartHeaderOctets),
                               static_cast<unsigned>(reference) & 0xFFu,
                               static_cast<unsigned>(parts), static_cast<unsigned>(part));
  AppendUcs2(pduText, text, length);
  return pduText;
}

std::string CmgsCommand(const std::string& pduText) {
  // The length excludes the service-centre field (TS 27.005 3.5.1): its
  // length octet and the octets that octet announces.
  const int serviceCentre = pduText.size() < 2 ? 0 : HexOctetAt(pduText.c_str());
  return Format("at+cmgs=%d\r",
                static_cast<int>(pduText.size() / 2) - 1 - (serviceCentre < 0 ? 0 : serviceCentre));
}

}  // namespace pdu
