#include "modem/PduFields.h"

#include <cstdio>

#include "modem/GsmAlphabet.h"
#include "platform/CodePage.h"

namespace pdu {
namespace {

constexpr int kMaxCentreOctets = 11;  // type and 10 octets of digits (TS 24.011 8.2.5.1)
constexpr int kMaxAddressDigits = 20;  // TS 23.040 9.1.2.5
constexpr int kTimeStampOctets = 7;
constexpr int kMaxZoneQuarters = 14 * 4;  // UTC+14 and UTC-12 are the extremes in use

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Semi-octets 0..9 are digits; A..E are "*", "#" and the letters a..c
// (TS 23.040 9.1.2.3); F only fills an odd count.
void AppendSemiOctet(unsigned value, std::string& digits) {
  static constexpr char kSemiOctets[] = "0123456789*#abc";
  if (value < sizeof(kSemiOctets) - 1) digits += kSemiOctets[value];
}

std::string Digits(const unsigned char* at, int semiOctets) {
  std::string digits;
  for (int i = 0; i < semiOctets; ++i) {
    AppendSemiOctet(i % 2 == 0 ? at[i / 2] & 0x0Fu : at[i / 2] >> 4, digits);
  }
  return digits;
}

// Type of number 001 = international (TS 23.040 9.1.2.5).
bool IsInternational(int type) { return (type & 0x70) == 0x10; }
// Type of number 101 = alphanumeric, in the GSM 7-bit default alphabet.
bool IsAlphanumeric(int type) { return (type & 0x70) == 0x50; }

// One octet of a time stamp: the tens in the low semi-octet, the units in the
// high one; -1 when either is no decimal digit.
int SwappedDecimal(unsigned char octet) {
  const int tens = octet & 0x0F;
  const int units = octet >> 4;
  return tens > 9 || units > 9 ? -1 : tens * 10 + units;
}

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

}  // namespace

bool HexToOctets(const std::string& hex, std::vector<unsigned char>& octets) {
  octets.clear();
  if (hex.size() % 2 != 0) return false;
  octets.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = HexDigit(hex[i]);
    const int low = HexDigit(hex[i + 1]);
    if (high < 0 || low < 0) {
      octets.clear();
      return false;
    }
    octets.push_back(static_cast<unsigned char>(high * 16 + low));
  }
  return true;
}

bool COctetReader::Octet(const char* field, int& value) {
  const unsigned char* at = nullptr;
  if (!Octets(field, 1, at)) return false;
  value = *at;
  return true;
}

bool COctetReader::Octets(const char* field, std::size_t count, const unsigned char*& at) {
  if (Failed()) return false;
  if (count > Left()) {
    Fail(std::string(m_what) + " cut short in " + field);
    return false;
  }
  at = m_octets.data() + m_position;
  m_position += count;
  return true;
}

void COctetReader::Fail(const std::string& problem) {
  if (m_problem.empty()) m_problem = problem;
}

bool ReadServiceCentre(COctetReader& reader, std::string& number) {
  number.clear();
  int length = 0;
  if (!reader.Octet("the service-centre length", length)) return false;
  if (length == 0) return true;
  if (length > kMaxCentreOctets) {
    reader.Fail("service-centre field of " + std::to_string(length) + " octets");
    return false;
  }
  int type = 0;
  const unsigned char* digits = nullptr;
  if (!reader.Octet("the service-centre address", type) ||
      !reader.Octets("the service-centre address", static_cast<std::size_t>(length - 1), digits)) {
    return false;
  }
  number = (IsInternational(type) ? "+" : "") + Digits(digits, 2 * (length - 1));
  return true;
}

bool ReadAddress(COctetReader& reader, const char* field, Address& address) {
  address = Address();
  int length = 0;
  const unsigned char* value = nullptr;
  if (!reader.Octet(field, length)) return false;
  if (length > kMaxAddressDigits) {
    reader.Fail(std::string(field) + " of " + std::to_string(length) + " semi-octets");
    return false;
  }
  const std::size_t octets = static_cast<std::size_t>(length + 1) / 2;
  if (!reader.Octet(field, address.type) || !reader.Octets(field, octets, value)) return false;
  if (IsAlphanumeric(address.type)) {
    const std::size_t septets = static_cast<std::size_t>(length) * 4 / 7;
    address.text = TextIn1251(GsmText(UnpackSeptets(value, octets, 0, septets)));
  } else {
    address.text = (IsInternational(address.type) ? "+" : "") + Digits(value, length);
  }
  return true;
}

bool ReadTimeStamp(COctetReader& reader, const char* field, TimeStamp& stamp) {
  stamp = TimeStamp();
  const unsigned char* at = nullptr;
  if (!reader.Octets(field, kTimeStampOctets, at)) return false;
  int values[6];
  for (int i = 0; i < 6; ++i) values[i] = SwappedDecimal(at[i]);
  // The zone in quarters of an hour; bit 3 of its tens semi-octet is the sign.
  const int zoneTens = at[6] & 0x07;
  const int zoneUnits = at[6] >> 4;
  const int quarters = zoneUnits > 9 ? -1 : zoneTens * 10 + zoneUnits;
  if (!InRange(values[0], 0, 99) || !InRange(values[1], 1, 12) || !InRange(values[2], 1, 31) ||
      !InRange(values[3], 0, 23) || !InRange(values[4], 0, 59) || !InRange(values[5], 0, 59) ||
      !InRange(quarters, 0, kMaxZoneQuarters)) {
    return true;
  }
  stamp.valid = true;
  stamp.year = values[0] + (values[0] >= 90 ? 1900 : 2000);
  stamp.month = values[1];
  stamp.day = values[2];
  stamp.hour = values[3];
  stamp.minute = values[4];
  stamp.second = values[5];
  stamp.zoneMinutes = (at[6] & 0x08) != 0 ? -15 * quarters : 15 * quarters;
  return true;
}

std::string FormatTimeStamp(const TimeStamp& stamp) {
  if (!stamp.valid) return std::string();
  const int zone = stamp.zoneMinutes < 0 ? -stamp.zoneMinutes : stamp.zoneMinutes;
  char text[40];
  std::snprintf(text, sizeof(text), "%04d-%02d-%02d %02d:%02d:%02d %c%02d:%02d", stamp.year,
                stamp.month, stamp.day, stamp.hour, stamp.minute, stamp.second,
                stamp.zoneMinutes < 0 ? '-' : '+', zone / 60, zone % 60);
  return text;
}

std::string TextIn1251(const std::u16string& text) {
  std::u16string characters;
  characters.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
    const bool pair = high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    if (pair) ++i;
    characters += pair ? u'?' : text[i];
  }
  return platform::Utf16ToCp1251(characters);
}

}  // namespace pdu
