#include "modem/GsmAlphabet.h"

#include <cstddef>

namespace pdu {
namespace {

// Permitted characters whose default-alphabet code differs from ASCII. All the
// other permitted non-Cyrillic characters have the same code in both.
struct GsmException {
  char character;
  int count;
  unsigned char septets[2];
};

constexpr unsigned char kEscape = 0x1B;  // switches to the extension table

constexpr GsmException kGsmExceptions[] = {
    {'@', 1, {0x00, 0}},
    {'$', 1, {0x02, 0}},
    {'\\', 2, {kEscape, 0x2F}},
};

void AppendSeptets(char c, std::vector<unsigned char>& septets) {
  for (const GsmException& exception : kGsmExceptions) {
    if (exception.character == c) {
      septets.insert(septets.end(), exception.septets, exception.septets + exception.count);
      return;
    }
  }
  septets.push_back(static_cast<unsigned char>(c) & 0x7F);
}

}  // namespace

std::vector<unsigned char> GsmSeptets(const char* text) {
  std::vector<unsigned char> septets;
  for (; *text != '\0'; ++text) AppendSeptets(*text, septets);
  return septets;
}

std::vector<unsigned char> PackSeptets(const std::vector<unsigned char>& septets) {
  std::vector<unsigned char> octets((septets.size() * 7 + 7) / 8, 0);
  for (std::size_t i = 0; i < septets.size(); ++i) {
    const std::size_t bit = i * 7;
    const unsigned value = septets[i] & 0x7Fu;
    octets[bit / 8] |= static_cast<unsigned char>(value << (bit % 8));
    // A septet that starts above bit 1 runs on into the next octet.
    if (bit % 8 > 1) octets[bit / 8 + 1] |= static_cast<unsigned char>(value >> (8 - bit % 8));
  }
  return octets;
}

}  // namespace pdu
