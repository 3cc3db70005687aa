#include "tools/modemsim/SimSubmitReader.h"

#include <cctype>
#include <vector>

namespace modemsim {
namespace {

constexpr int kTypeMask = 0x03;
constexpr int kTypeSubmit = 0x01;
constexpr int kStatusReportRequest = 0x20;

bool Octets(const std::string& hex, std::vector<int>& octets) {
  static const std::string kDigits = "0123456789ABCDEF";
  if (hex.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const std::size_t high = kDigits.find(static_cast<char>(std::toupper(hex[i])));
    const std::size_t low = kDigits.find(static_cast<char>(std::toupper(hex[i + 1])));
    if (high == std::string::npos || low == std::string::npos) return false;
    octets.push_back(static_cast<int>(high * 16 + low));
  }
  return true;
}

}  // namespace

bool ReadSubmission(const std::string& pdu, SubmitFields& fields) {
  fields = SubmitFields();
  std::vector<int> octets;
  if (!Octets(pdu, octets) || octets.empty()) return false;
  // Service-centre field, first octet, TP-MR, then TP-DA: length in digits and type.
  const std::size_t first = 1 + static_cast<std::size_t>(octets[0]);
  if (first + 3 >= octets.size() || (octets[first] & kTypeMask) != kTypeSubmit) return false;
  const int digits = octets[first + 2];
  const int type = octets[first + 3];
  const std::size_t value = first + 4;
  if (value + static_cast<std::size_t>(digits + 1) / 2 > octets.size()) return false;
  fields.statusReport = (octets[first] & kStatusReportRequest) != 0;
  if ((type & 0x70) == 0x10) fields.destination = "+";
  for (int i = 0; i < digits; ++i) {
    const int octet = octets[value + static_cast<std::size_t>(i / 2)];
    const int digit = i % 2 == 0 ? octet & 0x0F : octet >> 4;
    fields.destination += static_cast<char>(digit < 10 ? '0' + digit : '?');
  }
  return true;
}

}  // namespace modemsim
