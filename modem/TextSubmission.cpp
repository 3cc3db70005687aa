// A message in text mode (3GPP TS 27.005 3.5.1), for the modems that refuse
// PDU mode: the coding set with AT+CSMP, the character set with AT+CSCS, the
// number in quotes. Text mode sends no concatenated messages.
#include <cstdio>
#include <string>

#include "modem/ModemDialogue.h"
#include "modem/Pdu.h"
#include "platform/CodePage.h"

namespace {

// The first octet (SMS-SUBMIT, validity period relative), a validity of 24
// hours, and the data coding scheme: 0 the GSM default alphabet, 8 UCS2.
constexpr char kGsmParameters[] = "AT+CSMP=17,167,0,0";
constexpr char kUcs2Parameters[] = "AT+CSMP=17,167,0,8";
// Latin text goes as the terminal's plain characters (IRA, ITU-T T.50), which
// the modem converts to the GSM alphabet; UCS2 as hex, four digits a letter.
constexpr char kIraCharacters[] = "AT+CSCS=\"IRA\"";
constexpr char kUcs2Characters[] = "AT+CSCS=\"UCS2\"";

std::string Ucs2Hex(const std::string& text) {
  std::string hex;
  char unit[5];
  for (char16_t c : platform::Cp1251ToUtf16(text)) {
    std::snprintf(unit, sizeof unit, "%04X", static_cast<unsigned>(c));
    hex += unit;
  }
  return hex;
}

bool Confirmed(CModem& modem, const char* command, CSendResult& result) {
  const reply::Answer answer = modem.Command(command, reply::AnswerRule(), dialogue::kReplyLimitMs);
  if (answer.final.kind == reply::Final::Ok) return true;
  result.outcome = SendOutcome::Refused;
  result.refusal = reply::RefusalKind::Modem;
  result.cause = std::string("text mode: ") + command + " refused";
  return false;
}

}  // namespace

int CModem::SubmitText(const char* number, const char* message, CSendResult& result) {
  const pdu::MessageForm form = pdu::FormOfMessage(message);
  result.parts = form.parts;
  if (form.parts > 1) {
    result.outcome = SendOutcome::Invalid;
    result.cause = "the modem takes text mode only, which sends no message of " +
                   std::to_string(form.parts) + " parts";
    return 0;
  }
  std::string digits;
  if (!pdu::DestinationDigits(number, form.encoding == pdu::Encoding::Gsm7, digits)) {
    result.outcome = SendOutcome::Invalid;
    result.cause = "the number cannot be addressed";
    return 0;
  }
  const bool ucs2 = form.encoding != pdu::Encoding::Gsm7;
  if (!Confirmed(*this, ucs2 ? kUcs2Characters : kIraCharacters, result) ||
      !Confirmed(*this, ucs2 ? kUcs2Parameters : kGsmParameters, result)) {
    return 0;
  }
  // With UCS2 as the character set, every string parameter is UCS2 hex too.
  std::string address = number;
  if (address.size() == 10) address = "7" + address;  // ten digits: a Russian number
  if (address[0] != '+') address = "+" + address;
  const std::string command =
      "AT+CMGS=\"" + (ucs2 ? Ucs2Hex(address) : address) + "\",145\r";
  const std::string text = ucs2 ? Ucs2Hex(message) : std::string(message);
  return dialogue::SubmitAfterCommand(*this, command, text, m_confirmLimitMs, result) ? 1 : 0;
}
