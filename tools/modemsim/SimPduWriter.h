#pragma once
// What the simulated network hands over, as hex text with the service-centre
// field first, as AT+CMGL, +CMT and +CDS show it: SMS-STATUS-REPORT (3GPP TS
// 23.040 9.2.2.3) and SMS-DELIVER (9.2.2.1). Time stamps are written in the
// zone UTC+03:00.
#include <ctime>
#include <string>
#include <vector>

namespace modemsim {

// centre and recipient: "+digits".
std::string StatusReportPdu(const std::string& centre, int reference, const std::string& recipient,
                            std::time_t submitted, std::time_t discharged, int status);

// The PDUs of a message: one, or the parts of a concatenated message with
// the 8-bit reference. GSM 7-bit when every character is in the default
// alphabet or its extension (160 septets in one, 153 per part, an escape
// never cut from its character), else UCS2 (70 units in one, 67 per part, a
// surrogate pair never cut). sender: "+digits" (international), digits
// (unknown type), or letters (alphanumeric, GSM 7-bit).
std::vector<std::string> DeliverPdus(const std::string& centre, const std::string& sender,
                                     const std::u16string& text, int reference, std::time_t sent);

// The octets of the TPDU of a PDU hex text: without the service-centre
// field; 0 when the text is too short.
int TpduOctets(const std::string& pdu);

}  // namespace modemsim
