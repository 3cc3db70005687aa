#include "tools/modemsim/SimPduWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "modem/GsmAlphabet.h"
#include "platform/CodePage.h"

namespace modemsim {
namespace {

constexpr int kZoneQuarters = 12;  // UTC+03:00
constexpr int kFirstReport = 0x06;  // SMS-STATUS-REPORT, no more messages to send
constexpr int kFirstDeliver = 0x04;  // SMS-DELIVER, no more messages to send
constexpr int kUserDataHeader = 0x40;
constexpr std::size_t kSingleSeptets = 160;
constexpr std::size_t kPartSeptets = 153;
constexpr std::size_t kSingleUnits = 70;
constexpr std::size_t kPartUnits = 67;
constexpr std::size_t kHeaderSeptets = 7;  // six octets of header and one fill bit

std::string Octet(int value) {
  char text[3];
  std::snprintf(text, sizeof(text), "%02X", static_cast<unsigned>(value) & 0xFFu);
  return text;
}

std::string HexOf(const std::vector<unsigned char>& octets) {
  std::string hex;
  for (unsigned char octet : octets) hex += Octet(octet);
  return hex;
}

std::string SwappedDigits(std::string digits) {
  if (digits.size() % 2 != 0) digits += 'F';
  for (std::size_t i = 0; i < digits.size(); i += 2) std::swap(digits[i], digits[i + 1]);
  return digits;
}

bool IsNumber(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::string CentreField(const std::string& centre) {
  const std::string digits = centre.substr(1);
  return Octet(1 + static_cast<int>(digits.size() + 1) / 2) + "91" + SwappedDigits(digits);
}

// TP-OA or TP-RA: the length in semi-octets, the type, the value.
std::string AddressField(const std::string& address) {
  if (!address.empty() && address[0] == '+' && IsNumber(address.substr(1))) {
    return Octet(static_cast<int>(address.size()) - 1) + "91" + SwappedDigits(address.substr(1));
  }
  if (IsNumber(address)) {
    return Octet(static_cast<int>(address.size())) + "81" + SwappedDigits(address);
  }
  std::vector<unsigned char> septets;
  pdu::GsmSeptetsOfText(platform::Utf8ToUtf16(address), septets);
  return Octet(static_cast<int>(septets.size() * 7 + 3) / 4) + "D0" +
         HexOf(pdu::PackSeptets(septets));
}

// Swapped semi-octets of the local time in UTC+03:00 and the zone.
std::string TimeStampField(std::time_t when) {
  const std::time_t local = when + kZoneQuarters * 15 * 60;
  std::tm parts{};
  gmtime_r(&local, &parts);
  const int values[] = {parts.tm_year % 100, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
                        parts.tm_min, parts.tm_sec, kZoneQuarters};
  std::string field;
  for (int value : values) field += SwappedDigits(std::to_string(100 + value).substr(1));
  return field;
}

std::string ConcatenationHeader(int reference, std::size_t parts, std::size_t part) {
  return "050003" + Octet(reference) + Octet(static_cast<int>(parts)) +
         Octet(static_cast<int>(part));
}

// The lengths of the pieces of a text of units (septets or UTF-16 units):
// one piece when it fits single, else pieces of at most part, never ending
// just before a unit that cannot start one.
template <typename Unit, typename CannotStart>
std::vector<std::size_t> Pieces(const std::basic_string<Unit>& units, std::size_t single,
                                std::size_t part, CannotStart cannotStart) {
  if (units.size() <= single) return {units.size()};
  std::vector<std::size_t> pieces;
  for (std::size_t at = 0; at < units.size();) {
    std::size_t length = std::min(part, units.size() - at);
    if (at + length < units.size() && cannotStart(units, at + length)) --length;
    pieces.push_back(length);
    at += length;
  }
  return pieces;
}

std::vector<std::string> SevenBitUserData(const std::vector<unsigned char>& septets,
                                          int reference) {
  const std::basic_string<unsigned char> all(septets.begin(), septets.end());
  const auto pieces = Pieces(all, kSingleSeptets, kPartSeptets, [](const auto& s, std::size_t at) {
    return s[at - 1] == 0x1B;  // an escape and its character stay together
  });
  std::vector<std::string> userData;
  std::size_t at = 0;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    std::vector<unsigned char> piece(all.begin() + at, all.begin() + at + pieces[i]);
    at += pieces[i];
    if (pieces.size() == 1) {
      userData.push_back(Octet(static_cast<int>(piece.size())) + HexOf(pdu::PackSeptets(piece)));
      continue;
    }
    // The header fills the first seven septets' bits; the text follows them.
    piece.insert(piece.begin(), kHeaderSeptets, 0);
    const std::string packed = HexOf(pdu::PackSeptets(piece));
    userData.push_back(Octet(static_cast<int>(piece.size())) +
                       ConcatenationHeader(reference, pieces.size(), i + 1) + packed.substr(12));
  }
  return userData;
}

std::vector<std::string> Ucs2UserData(const std::u16string& text, int reference) {
  const auto pieces = Pieces(text, kSingleUnits, kPartUnits, [](const auto& t, std::size_t at) {
    return t[at] >= 0xDC00 && t[at] <= 0xDFFF;  // the second half of a surrogate pair
  });
  std::vector<std::string> userData;
  std::size_t at = 0;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    std::string units;
    for (std::size_t u = at; u < at + pieces[i]; ++u) units += Octet(text[u] >> 8) + Octet(text[u]);
    at += pieces[i];
    const std::string header =
        pieces.size() == 1 ? "" : ConcatenationHeader(reference, pieces.size(), i + 1);
    userData.push_back(Octet(static_cast<int>(header.size() + units.size()) / 2) + header + units);
  }
  return userData;
}

}  // namespace

std::string StatusReportPdu(const std::string& centre, int reference, const std::string& recipient,
                            std::time_t submitted, std::time_t discharged, int status) {
  return CentreField(centre) + Octet(kFirstReport) + Octet(reference) + AddressField(recipient) +
         TimeStampField(submitted) + TimeStampField(discharged) + Octet(status);
}

std::vector<std::string> DeliverPdus(const std::string& centre, const std::string& sender,
                                     const std::u16string& text, int reference, std::time_t sent) {
  std::vector<unsigned char> septets;
  const bool sevenBit = pdu::GsmSeptetsOfText(text, septets);
  const std::vector<std::string> userData =
      sevenBit ? SevenBitUserData(septets, reference) : Ucs2UserData(text, reference);
  const int first = kFirstDeliver | (userData.size() > 1 ? kUserDataHeader : 0);
  std::vector<std::string> pdus;
  for (const std::string& data : userData) {
    pdus.push_back(CentreField(centre) + Octet(first) + AddressField(sender) + "00" +
                   (sevenBit ? "00" : "08") + TimeStampField(sent) + data);
  }
  return pdus;
}

int TpduOctets(const std::string& pdu) {
  if (pdu.size() < 2) return 0;
  const int centre = static_cast<int>(std::strtol(pdu.substr(0, 2).c_str(), nullptr, 16));
  const int octets = static_cast<int>(pdu.size() / 2) - 1 - centre;
  return octets > 0 ? octets : 0;
}

}  // namespace modemsim
