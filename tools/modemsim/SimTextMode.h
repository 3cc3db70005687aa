#pragma once
// Text mode (AT+CMGF=1) as a modem keeps it: the message format, the
// parameters of AT+CSMP, the character set of AT+CSCS, the destination of
// AT+CMGS="<number>" and the text typed for a submission as the phone will
// show it.
#include <string>

#include "tools/modemsim/SubmissionRecord.h"

namespace modemsim {

class CSimTextMode {
 public:
  // A text-only modem refuses PDU mode and is in text mode from power-up.
  explicit CSimTextMode(bool textOnly);

  // The state after power-up: PDU mode (text mode when text-only), the
  // parameters 17,167,0,0 and the character set IRA.
  void PowerUp();
  bool TextFormat() const { return m_textFormat; }

  // The answers to AT+CMGF, AT+CSMP and AT+CSCS, given what follows the
  // command's name ("=1", "?", "=?"): an information line that OK follows
  // ("" for none), or "ERROR" alone.
  std::string MessageFormat(const std::string& argument);
  std::string Parameters(const std::string& argument);
  std::string Charset(const std::string& argument);

  // The argument of AT+CMGS in text mode: <number>[,<type>], the number
  // quoted or not (a modem takes "AT+CMGS=19" as the number 19). The type
  // is 145 for a number with "+" unless given, else 129. False when malformed.
  static bool ParseDestination(const std::string& argument, std::string& number, int& type);
  // The same for AT+CMGS, where a quoted number may also come in the
  // character set in force: UCS2 hex while it is UCS2, as TS 27.007 has
  // string parameters (modems take the plain digits too).
  bool ReadDestination(const std::string& argument, std::string& number, int& type) const;

  // Judges the text typed before Ctrl-Z: "" when one message carries it,
  // else why not: "hex" (not UCS2 hex while the character set is UCS2) or
  // "too long" (over 160 septets, 140 octets or 70 UCS2 characters, by the
  // coding scheme). Adds the marks cscs, dcs and, once decoded, text: the
  // text as the phone shows it.
  std::string Check(const std::string& typed, SubmissionMarks& marks) const;

 private:
  bool m_textOnly;
  bool m_textFormat = false;
  int m_parameters[4] = {};  // first octet, validity period, protocol identifier, coding scheme
  size_t m_charset = 0;      // in the table of character sets
};

}  // namespace modemsim
