#pragma once
// The lines of a modem that announce or carry stored and incoming messages
// in PDU mode (3GPP TS 27.005 3.4.1, 3.4.3, 3.1): the information lines of
// AT+CMGL and AT+CMGR, and the unsolicited +CMT, +CDS, +CMTI and +CDSI. Pure
// string functions for the dialogue layer, called line by line; they may be
// called from any thread.
//
// After a +CMGL, +CMGR, +CMT or +CDS line the modem sends the PDU (service-
// centre field and TPDU in hex) as the next line; <length> counts the TPDU's
// octets, without the service-centre field (pdu::TpduLength).
#include <string>

namespace reply {

enum class SmsLineKind {
  None,           // no such line, or one whose fields do not fit its form
  Listed,         // "+CMGL: <index>,<stat>,[<alpha>],<length>"
  Read,           // "+CMGR: <stat>,[<alpha>],<length>"
  Report,         // "+CDS: <length>": a status report routed straight
  Message,        // "+CMT: [<alpha>],<length>": a message routed straight
  ReportStored,   // "+CDSI: <mem>,<index>": a status report stored
  MessageStored,  // "+CMTI: <mem>,<index>": a message stored
};

struct SmsLine {
  SmsLineKind kind = SmsLineKind::None;
  int index = -1;  // Listed and the stored notices: the place in memory (some modems count from 0)
  // Listed and Read: 0 received unread, 1 received read, 2 stored unsent,
  // 3 stored sent.
  int stat = -1;
  std::string alpha;   // Listed, Read, Message: a phonebook name, without quotes; mostly empty
  int length = 0;      // Listed, Read, Report, Message: 1..255 octets
  std::string memory;  // the stored notices: "SM", "SR", "ME" ..., without quotes
};

// Reads one line (without its line end; blanks around it and around fields
// are allowed, <alpha> may hold commas inside its quotes, and an <alpha>
// left out with its comma is taken as empty). Kind None for any other line,
// for the text-mode forms of these lines and for fields out of range.
SmsLine ReadSmsLine(const std::string& line);

// True for the kinds whose PDU is the next line: Listed, Read, Report and
// Message.
bool PduFollows(const SmsLine& line);

}  // namespace reply
