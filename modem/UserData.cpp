// The user data of an SMS-DELIVER (TS 23.040 9.2.3.16, 9.2.3.24): its
// header's information elements and the text in the alphabet of TP-DCS.
#include <cstddef>

#include "modem/GsmAlphabet.h"
#include "modem/PduFields.h"

namespace pdu {
namespace {

constexpr int kMaxSeptets = 160;
constexpr int kMaxOctets = 140;
// Information elements of concatenation (TS 23.040 9.2.3.24.1, 9.2.3.24.8).
constexpr int kConcatenation8 = 0x00;
constexpr int kConcatenation16 = 0x08;

// TS 23.038 4: the general data coding groups 00xx and 01xx name the
// alphabet in bits 3..2 (11 is reserved: GSM 7-bit) and compression in bit 5;
// 1110 stores a waiting-message indication in UCS2; 1111 has 8-bit data in
// bit 2; every other group uses the default alphabet.
Alphabet AlphabetOf(int dataCoding) {
  const int group = dataCoding >> 4;
  if (group < 0x8) {
    if ((dataCoding & 0x20) != 0) return Alphabet::EightBit;  // compressed
    static constexpr Alphabet kGeneral[] = {Alphabet::Gsm7, Alphabet::EightBit, Alphabet::Ucs2,
                                            Alphabet::Gsm7};
    return kGeneral[(dataCoding >> 2) & 0x03];
  }
  if (group == 0xE) return Alphabet::Ucs2;
  if (group == 0xF) return (dataCoding & 0x04) != 0 ? Alphabet::EightBit : Alphabet::Gsm7;
  return Alphabet::Gsm7;
}

// A concatenation element with part 0 or a part beyond the total is ignored
// (TS 23.040 9.2.3.24.1).
void ReadConcatenation(int element, const unsigned char* data, int length,
                       Concatenation& concatenation) {
  const bool wide = element == kConcatenation16;
  if (length != (wide ? 4 : 3) || concatenation.parts != 0) return;
  const int reference = wide ? data[0] * 256 + data[1] : data[0];
  const int parts = data[wide ? 2 : 1];
  const int part = data[wide ? 3 : 2];
  if (parts == 0 || part == 0 || part > parts) return;
  concatenation = {reference, wide, parts, part};
}

// The elements of a header of length octets after its length octet.
bool ReadHeader(COctetReader& reader, const unsigned char* header, int length,
                Concatenation& concatenation) {
  for (int at = 0; at < length;) {
    if (at + 2 > length || at + 2 + header[at + 1] > length) {
      reader.Fail("user-data header runs past its length");
      return false;
    }
    const int element = header[at];
    const int elementLength = header[at + 1];
    if (element == kConcatenation8 || element == kConcatenation16) {
      ReadConcatenation(element, header + at + 2, elementLength, concatenation);
    }
    at += 2 + elementLength;
  }
  return true;
}

std::u16string Ucs2Text(const unsigned char* data, int octets) {
  std::u16string text;
  for (int i = 0; i + 1 < octets; i += 2) {
    text += static_cast<char16_t>(data[i] << 8 | data[i + 1]);
  }
  return text;
}

std::u16string OctetText(const unsigned char* data, int octets) {
  std::u16string text;
  for (int i = 0; i < octets; ++i) text += static_cast<char16_t>(data[i]);
  return text;
}

}  // namespace

bool ReadUserData(COctetReader& reader, bool header, DeliverMessage& message) {
  message.alphabet = AlphabetOf(message.dataCoding);
  const bool septets = message.alphabet == Alphabet::Gsm7;
  int length = 0;
  if (!reader.Octet("TP-UDL", length)) return false;
  if (length > (septets ? kMaxSeptets : kMaxOctets)) {
    reader.Fail("TP-UDL of " + std::to_string(length) + (septets ? " septets" : " octets"));
    return false;
  }
  const int octets = septets ? (7 * length + 7) / 8 : length;
  const unsigned char* data = nullptr;
  if (!reader.Octets("TP-UD", static_cast<std::size_t>(octets), data)) return false;
  int headerOctets = 0;  // with the length octet
  if (header) {
    headerOctets = octets > 0 ? 1 + data[0] : 1;
    if (headerOctets > octets) {
      reader.Fail("user-data header longer than the user data");
      return false;
    }
    if (!ReadHeader(reader, data + 1, headerOctets - 1, message.concatenation)) return false;
  }
  if (septets) {
    // The text begins at the first septet boundary after the header: the
    // fill bits between are skipped.
    const int first = (8 * headerOctets + 6) / 7;
    const int count = length > first ? length - first : 0;
    message.text = GsmText(UnpackSeptets(data, static_cast<std::size_t>(octets),
                                         static_cast<std::size_t>(first),
                                         static_cast<std::size_t>(count)));
  } else if (message.alphabet == Alphabet::Ucs2) {
    message.text = Ucs2Text(data + headerOctets, octets - headerOctets);
  } else {
    message.text = OctetText(data + headerOctets, octets - headerOctets);
  }
  message.text1251 = TextIn1251(message.text);
  return true;
}

}  // namespace pdu
