#pragma once
// What the simulator needs to know of a submitted SMS-SUBMIT (3GPP TS 23.040
// 9.2.2.2): whether it asks for a status report, and its destination.
#include <string>

namespace modemsim {

struct SubmitFields {
  bool statusReport = false;  // TP-SRR
  std::string destination;    // "+digits" for an international TP-DA, else the digits
};

// pdu: the hex text after AT+CMGS, service-centre field first. False when it
// is no SMS-SUBMIT or ends before its TP-DA does.
bool ReadSubmission(const std::string& pdu, SubmitFields& fields);

}  // namespace modemsim
