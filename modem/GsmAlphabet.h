#pragma once
// The GSM 7-bit default alphabet (3GPP TS 23.038 6.2.1) for the permitted
// non-Cyrillic characters, and the packing of septets into octets.
#include <vector>

namespace pdu {

// The septets of text: most permitted characters keep their ASCII code, the
// few that differ are translated, a character of the extension table becomes
// the escape septet followed by its code there.
std::vector<unsigned char> GsmSeptets(const char* text);

// Septets packed into octets, least significant bit first, as TS 23.038
// 6.1.2.1.1 lays them out: ceil(7 * count / 8) octets, the unused high bits
// of the last octet zero.
std::vector<unsigned char> PackSeptets(const std::vector<unsigned char>& septets);

}  // namespace pdu
