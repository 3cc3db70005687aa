// Cleaning of the number and the text, destination digits and the reply
// reference: the text side of the SMS submission.
#include <cstring>
#include <utility>

#include "modem/Pdu.h"

namespace pdu {

const char kTextChars[] =
    " 0123456789"
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    "abcdefghijklmnopqrstuvwxyz"
    "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"
    "абвгдежзийклмнопрстуфхцчшщъыьэюя"
    ".,;:\"?!@#$%&*()-+=\\/";

const char kNumberChars[] = "+1234567890";

void KeepChars(char* text, const char* set) {
  char* out = text;
  for (const char* in = text; *in != '\0'; ++in) {
    if (std::strchr(set, *in) != nullptr) *out++ = *in;
  }
  *out = '\0';
}

bool HasCyrillic(const char* text) {
  for (; *text != '\0'; ++text) {
    if (static_cast<unsigned char>(*text) >= 0xC0) return true;
  }
  return false;
}

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
  // Semi-octets, low nibble first, an odd count filled with F (TS 23.040 9.1.2.3).
  address += 'F';
  for (std::size_t i = 0; i < address.size(); i += 2) std::swap(address[i], address[i + 1]);
  digits = address;
  return true;
}

int ParseReference(const char* reply) {
  static constexpr char kPrefix[] = "+CMGS: ";
  // Nine decimal digits always fit an int; TP-MR itself is only 0..255.
  static constexpr int kMaxDigits = 9;
  const char* found = std::strstr(reply, kPrefix);
  if (found == nullptr) return 0;
  const char* digit = found + sizeof(kPrefix) - 1;
  int value = 0;
  for (int i = 0; i < kMaxDigits && digit[i] >= '0' && digit[i] <= '9'; ++i) {
    value = value * 10 + (digit[i] - '0');
  }
  return value;
}

}  // namespace pdu
