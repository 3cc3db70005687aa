#include "tools/modemsim/SimServiceCentre.h"

#include <cctype>
#include <cstdlib>

#include "tools/modemsim/SimTextMode.h"

namespace modemsim {

namespace {

// TS 27.005 3.2.5: no service-centre address known.
constexpr const char* kNoCentre = "+CMS ERROR: 330";
constexpr unsigned kTypeOfNumberMask = 0x70;
constexpr unsigned kInternational = 0x10;

bool ReadOctet(const std::string& pdu, size_t octet, unsigned& value) {
  if (pdu.size() < octet * 2 + 2) return false;
  const std::string digits = pdu.substr(octet * 2, 2);
  for (char c : digits) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  value = static_cast<unsigned>(std::strtoul(digits.c_str(), nullptr, 16));
  return true;
}

}  // namespace

bool ReadServiceCentre(const std::string& pdu, size_t& octets, std::string& number) {
  unsigned length = 0;
  unsigned type = 0;
  number.clear();
  if (!ReadOctet(pdu, 0, length)) return false;
  octets = 1 + length;
  if (length == 0) return true;
  if (!ReadOctet(pdu, 1, type)) return false;
  if ((type & kTypeOfNumberMask) == kInternational) number = "+";
  for (size_t octet = 2; octet <= length; ++octet) {
    unsigned digits = 0;
    if (!ReadOctet(pdu, octet, digits)) return false;
    // Semi-octets: the first digit in the low nibble; F fills the last one.
    for (unsigned digit : {digits & 0x0F, digits >> 4}) {
      if (digit != 0x0F) number += "0123456789*#abc"[digit];
    }
  }
  return true;
}

bool CSimServiceCentre::Write(const std::string& argument, std::string& queryLine) {
  std::string number;
  int type = 0;
  if (argument.empty() || argument[0] != '"' ||
      !CSimTextMode::ParseDestination(argument, number, type)) {
    return false;
  }
  queryLine = "+CSCA: \"" + number + "\"," + std::to_string(type);
  m_written = true;
  return true;
}

std::string CSimServiceCentre::Check(const std::string& pdu, SubmissionMarks& marks) const {
  size_t octets = 0;
  std::string number;
  if (!ReadServiceCentre(pdu, octets, number)) return "";
  if (number.find_first_not_of('+') != std::string::npos) {
    marks.emplace_back("sca", number);
    return "";
  }
  return m_writeRequired && !m_written ? kNoCentre : "";
}

}  // namespace modemsim
