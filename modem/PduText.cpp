// Cleaning of the number and the text, destination digits and the reply
// reference: the text side of the SMS submission.
#include <cstdio>
#include <cstring>
#include <utility>

#include "modem/Pdu.h"

namespace pdu {

const char kTextChars[] =
    " 0123456789"
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    "abcdefghijklmnopqrstuvwxyz"
    // А..Я and а..я: bytes 0xC0..0xFF of code page 1251, written as bytes so
    // that the set does not depend on the compiler's execution character set.
    "\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF"
    "\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD7\xD8\xD9\xDA\xDB\xDC\xDD\xDE\xDF"
    "\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF"
    "\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xFA\xFB\xFC\xFD\xFE\xFF"
    ".,;:\"?!@#$%&*()-+=\\/";

const char kNumberChars[] = "+1234567890";

void KeepChars(char* text, const char* set) {
  char* out = text;
  for (const char* in = text; *in != '\0'; ++in) {
    if (std::strchr(set, *in) != nullptr) *out++ = *in;
  }
  *out = '\0';
}

std::string CleanNumber(const char* number) {
  std::string phone(number);
  KeepChars(&phone[0], kNumberChars);
  phone.resize(std::strlen(phone.c_str()));
  return phone;
}

std::string CleanMessage(const char* text) {
  struct Substitute {
    char typed;
    char sent;
  };
  static constexpr Substitute kSubstitutes[] = {
      {'\r', ' '}, {'\n', ' '}, {'\t', ' '}, {'\xA8', '\xC5'}, {'\xB8', '\xE5'},  // Ё Е ё е
  };
  std::string cleaned;
  for (const char* c = text; *c != '\0'; ++c) {
    if (c[0] == '\r' && c[1] == '\n') continue;  // one line break: its LF gives the blank
    char sent = *c;
    for (const Substitute& s : kSubstitutes) {
      if (s.typed == *c) sent = s.sent;
    }
    cleaned += sent;
  }
  KeepChars(&cleaned[0], kTextChars);
  cleaned.resize(std::strlen(cleaned.c_str()));
  return cleaned;
}

bool HasCyrillic(const char* text) {
  for (; *text != '\0'; ++text) {
    if (static_cast<unsigned char>(*text) >= 0xC0) return true;
  }
  return false;
}

namespace {

// Semi-octets, low nibble first, an odd count filled with F (TS 23.040 9.1.2.3).
std::string SwappedSemiOctets(std::string digits) {
  if (digits.size() % 2 != 0) digits += 'F';
  for (std::size_t i = 0; i < digits.size(); i += 2) std::swap(digits[i], digits[i + 1]);
  return digits;
}

}  // namespace

bool DestinationDigits(const char* number, bool allowTen, std::string& digits) {
  digits.clear();
  if (*number == '+') ++number;
  std::string address(number);
  // Ten digits are taken as a Russian national number without its country code.
  if (allowTen && address.size() == 10) address.insert(0, "7");
  // TP-DA (TS 23.040 9.1.2.5) is sent with address length 11, so exactly 11
  // decimal digits; a "+" inside the number is no digit.
  if (address.size() != 11 || address.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  digits = SwappedSemiOctets(address);
  return true;
}

bool ServiceCentreField(const char* number, std::string& field) {
  // An E.164 number has at most 15 digits; the field could carry 20.
  static constexpr std::size_t kMaxDigits = 15;
  field.clear();
  std::string digits;
  for (const char* c = number; *c != '\0'; ++c) {
    if (std::strchr(" -.()", *c) != nullptr) continue;
    // A "+" only before the first digit, once.
    if (*c == '+' && c == std::strpbrk(number, "+0123456789")) continue;
    if (*c < '0' || *c > '9') return false;
    digits += *c;
  }
  if (digits.size() > kMaxDigits) return false;
  if (digits.empty()) {
    // Nothing but separators (or nothing at all) is no number; a lone "+" is
    // a half-typed one.
    if (std::strchr(number, '+') != nullptr) return false;
    field = "00";
    return true;
  }
  // The length counts the type octet and the digit octets (TS 24.011 8.2.5.1).
  char opening[5];
  std::snprintf(opening, sizeof(opening), "%02X91",
                static_cast<unsigned>(1 + (digits.size() + 1) / 2));
  field = opening + SwappedSemiOctets(digits);
  return true;
}

int ParseReference(const char* reply) {
  // TS 27.005 3.5.1 writes "+CMGS: <mr>[,<scts>]" (text mode) or
  // "+CMGS: <mr>[,<ackpdu>]" (PDU mode); some modems and phones leave out
  // the blank.
  static constexpr char kPrefix[] = "+CMGS:";
  // Nine decimal digits always fit an int; TP-MR itself is only 0..255.
  static constexpr int kMaxDigits = 9;
  const char* found = std::strstr(reply, kPrefix);
  if (found == nullptr) return 0;
  const char* digit = found + sizeof(kPrefix) - 1;
  while (*digit == ' ') ++digit;
  int value = 0;
  int count = 0;
  for (; count < kMaxDigits && digit[count] >= '0' && digit[count] <= '9'; ++count) {
    value = value * 10 + (digit[count] - '0');
  }
  return count > 0 && value == 0 ? kReportedZero : value;
}

}  // namespace pdu
