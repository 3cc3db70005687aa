#pragma once
// The pure layer of what a modem hands over: SMS-DELIVER (3GPP TS 23.040
// 9.2.2.1) and SMS-STATUS-REPORT (9.2.2.3) from their hex text as AT+CMGL,
// AT+CMGR, +CMT and +CDS give it: the service-centre field (TS 24.011
// 8.2.5.1), then the TPDU. No ports, logs or clocks: every function may be
// called from any thread.
//
// A decoder gives false with the reason in problem ("odd number of hex
// digits", "SMS-DELIVER cut short in TP-SCTS" ...) and its result emptied
// when the text is no such PDU; it never reads past the text. Octets after
// the PDU's last field are ignored. Texts come out as UTF-16 and as code
// page 1251, where every character 1251 lacks is one '?', as in SendSMSWide.
#include <string>

namespace pdu {

// A TP-OA or TP-RA address (TS 23.040 9.1.2.5). text: "+" and the digits for
// an international number (type of number 001), the digits alone for any
// other numeric type ("*", "#", "a", "b", "c" for the semi-octets A..E), the
// characters of an alphanumeric sender (type 101, GSM 7-bit) in 1251.
struct Address {
  std::string text;
  int type = 0;  // the type-of-address octet: 0x91 international, 0xD0 alphanumeric ...
};

// TP-SCTS and TP-DT (TS 23.040 9.2.3.11): the local time of the service
// centre and its zone. valid is false when a semi-octet is no decimal digit
// or a field is out of range; the other fields are then 0.
struct TimeStamp {
  bool valid = false;
  int year = 0;  // four digits: 90..99 are 1990..1999, 00..89 2000..2089
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int zoneMinutes = 0;  // east of GMT; negative to the west
};
// "2024-05-20 12:00:50 +03:00"; empty when the stamp is not valid.
std::string FormatTimeStamp(const TimeStamp& stamp);

// What the TP-MTI of a TPDU (TS 23.040 9.2.3.1) says it is. A stored
// SMS-SUBMIT (status 2 or 3 of AT+CMGL) has the TP-MTI of an SMS-SUBMIT-
// REPORT; this layer reads only the two kinds a modem receives.
enum class PduKind { Deliver, StatusReport, Other, Malformed };
PduKind KindOfPdu(const std::string& hex);
// The TPDU's length in octets, the service-centre field left out: what the
// <length> of +CMGL, +CMGR, +CMT and +CDS counts. -1 when the text is no hex
// or its service-centre field runs past its end.
int TpduLength(const std::string& hex);

// The classes of TP-ST (TS 23.040 9.2.3.15).
enum class StatusClass {
  Delivered,  // 0x00..0x02: the transaction is complete
  Pending,    // 0x20..0x25: temporary error, the centre is still trying
  Failed,     // 0x40..0x49 permanent error, 0x60..0x65 temporary error, no more attempts
  Unknown,    // reserved and centre-specific values
};
StatusClass ClassOfStatus(int status);
// The status in English words ("received by the phone", "incompatible
// destination", "no response from the phone" ...); "unknown status" for the
// values of StatusClass::Unknown.
const char* StatusWords(int status);

struct StatusReport {
  std::string serviceCentre;  // "+79990000100", empty when the field is "00"
  int reference = 0;          // TP-MR of the submission, 0..255
  Address recipient;          // TP-RA: the submission's destination
  TimeStamp serviceCentreTime;  // TP-SCTS: when the centre took the submission
  TimeStamp dischargeTime;      // TP-DT: delivery, or the last attempt
  int status = 0;               // TP-ST, 0..255
};
// The optional parameters after TP-ST (TP-PI, TP-PID, TP-DCS, TP-UD) are
// allowed and left unread.
bool DecodeStatusReport(const std::string& hex, StatusReport& report, std::string& problem);

enum class Alphabet { Gsm7, EightBit, Ucs2 };

// The concatenation element of a user-data header (TS 23.040 9.2.3.24.1 and
// 9.2.3.24.8). parts is 0 when the message is no part of a longer one (also
// when the element says part 0 or a part beyond the total: such an element is
// ignored, as the standard asks).
struct Concatenation {
  int reference = 0;  // 0..255, or 0..65535 with wideReference
  bool wideReference = false;
  int parts = 0;
  int part = 0;  // from 1
};

struct DeliverMessage {
  std::string serviceCentre;
  Address originator;  // TP-OA
  int protocolId = 0;  // TP-PID
  int dataCoding = 0;  // TP-DCS
  Alphabet alphabet = Alphabet::Gsm7;
  TimeStamp serviceCentreTime;  // TP-SCTS: when the centre received the message
  Concatenation concatenation;
  // The user data after its header. 8-bit data comes as one character per
  // octet, U+0000..U+00FF. A UCS2 text of an odd octet count loses its last
  // octet.
  std::u16string text;
  std::string text1251;
};
// TP-DCS (TS 23.038 4) decides the alphabet: GSM 7-bit, 8-bit data or UCS2.
// Compressed text, which this layer cannot expand, comes as 8-bit data;
// reserved codings are read as GSM 7-bit, as TS 23.038 asks. Information
// elements other than concatenation are skipped.
bool DecodeDeliver(const std::string& hex, DeliverMessage& message, std::string& problem);

}  // namespace pdu
