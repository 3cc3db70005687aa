#pragma once
// The GSM 7-bit default alphabet (3GPP TS 23.038 6.2.1) for the permitted
// non-Cyrillic characters, and the packing of septets into octets.
#include <cstddef>
#include <string>
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

// Septets first..first+count-1 of packed octets, counted as PackSeptets lays
// them out (septet i in bits 7i..7i+6). The caller sees to it that the
// octets hold them: octetCount >= ceil(7 * (first + count) / 8).
std::vector<unsigned char> UnpackSeptets(const unsigned char* octets, std::size_t octetCount,
                                         std::size_t first, std::size_t count);

// The UTF-16 text of septets in the default alphabet and its extension
// table (TS 23.038 6.2.1). An escape before a code the extension table lacks
// gives that code's character of the default table; a lone escape at the end,
// or one before a second escape, a blank.
std::u16string GsmText(const std::vector<unsigned char>& septets);

// The septets of any UTF-16 text in the default alphabet, a character of the
// extension table as the escape and its code; false, with septets empty,
// when a character is in neither table.
bool GsmSeptetsOfText(const std::u16string& text, std::vector<unsigned char>& septets);

}  // namespace pdu
