#pragma once
// The service centre: the number AT+CSCA writes, and the modem that sends a
// PDU without its own service-centre address only once the number was
// written since power-up (some sticks lose it at every start, though the
// SIM still reports it).
#include <string>

#include "tools/modemsim/SubmissionRecord.h"

namespace modemsim {

// The service-centre field at the start of a PDU text (TS 27.005 3.1: a
// length octet, then the type and the address in semi-octets): the octets
// it takes (1 when empty) and the number, "+" in front of an international
// one. False when the field runs past the text or is not hex.
bool ReadServiceCentre(const std::string& pdu, size_t& octets, std::string& number);

class CSimServiceCentre {
 public:
  // writeRequired: a PDU without a service-centre address is refused until
  // AT+CSCA has been written since power-up.
  explicit CSimServiceCentre(bool writeRequired) : m_writeRequired(writeRequired) {}

  void PowerUp() { m_written = false; }
  // AT+CSCA=<number>[,<type>], the number quoted: false when malformed, else
  // queryLine is the answer to AT+CSCA? from now on.
  bool Write(const std::string& argument, std::string& queryLine);
  // The refusal of a PDU ("" when it may go); the address it carried goes
  // to marks as sca.
  std::string Check(const std::string& pdu, SubmissionMarks& marks) const;

 private:
  bool m_writeRequired;
  bool m_written = false;
};

}  // namespace modemsim
