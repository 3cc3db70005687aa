#include "modem/Modem.h"

#include <cstring>
#include <string>

#include "modem/Log.h"
#include "modem/ModemDialogue.h"
#include "modem/Pdu.h"

namespace {

using dialogue::kReplyLimitMs;

constexpr char kServiceCentreUnknown[] = "330";  // +CMS ERROR: SMSC address unknown
// Modems answer a query at once; a late OK must not hold a capture long.
constexpr uint32_t kModeQueryLimitMs = 3000;

void LogSendSMS(const char* text) { GetLog().Write("engine", "SendSMS", 0, text); }

// The stored service-centre address of a "+CSCA: "+79990000100",145" line
// as the AT+CSCA command takes it back: "\"+79990000100\",145"; empty when
// none is stored.
std::string StoredServiceCentre(const reply::Answer& answer) {
  if (answer.final.kind != reply::Final::Ok || answer.lines.empty()) return std::string();
  const std::string& line = answer.lines[0];
  const size_t open = line.find('"');
  const size_t close = open == std::string::npos ? open : line.find('"', open + 1);
  if (close == std::string::npos || close == open + 1) return std::string();
  return reply::Trimmed(line.substr(open));
}

const char* OutcomeWord(SendOutcome outcome) {
  switch (outcome) {
    case SendOutcome::Sent: return "OK";
    case SendOutcome::Unconfirmed: return "UNCONFIRMED";
    default: return "FAILED";
  }
}

}  // namespace

void CModem::KeepChars(char* text, const char* set) { pdu::KeepChars(text, set); }

reply::Answer CModem::Command(const std::string& command, reply::AnswerRule rule,
                              uint32_t limitMs) {
  rule.echo = command;
  reply::CAnswerReader reader(rule);
  if (dialogue::TransmitText(*this, command + "\r", 0)) Await(reader, limitMs);
  return reader.Result();
}

int CModem::InitModem() {
  m_mode = MessageMode::None;
  DiscardInput();  // whatever the modem said earlier
  // A modem left waiting for message text (a run killed in the middle of a
  // submission, a power cut) drops that text on ESC; in command mode ESC is
  // ignored. Without it "at" would be more text, and every capture would fail.
  Transmit(&dialogue::kEscape, 1, 0);
  const reply::Answer answer = Command("at", reply::AnswerRule(), kReplyLimitMs);
  if (answer.final.kind == reply::Final::Ok) return ChooseMode();
  if (IsDeviceLost()) return 0;  // FailureReason names it
  if (HeardGarbage() && !answer.heard) {
    SetFailureReason("the modem answers garbage: the speed may be wrong (the port is set to " +
                     std::to_string(BaudRate()) + " bit/s)");
  } else {
    SetFailureReason(answer.final.kind == reply::Final::None ? "no answer to AT"
                                                             : "the modem refuses AT");
  }
  return 0;
}

// PDU mode where the modem takes it; text mode where it refuses PDU mode.
// Each is confirmed by the modem's own answer to AT+CMGF? (TS 27.005 3.2.3),
// which no late OK of an earlier command can stand in for.
int CModem::ChooseMode() {
  if (SwitchMode(0)) {
    m_mode = MessageMode::Pdu;
    return 1;
  }
  if (SwitchMode(1)) {
    m_mode = MessageMode::Text;
    GetLog().Write("engine", "CaptureModemDevice", 0, "PDU mode refused: text mode");
    return 1;
  }
  SetFailureReason("the modem takes neither PDU nor text mode");
  return 0;
}

bool CModem::SwitchMode(int mode) {
  const std::string value = std::to_string(mode);
  const reply::Answer set = Command("at+cmgf=" + value, reply::AnswerRule(), kReplyLimitMs);
  reply::AnswerRule rule;
  rule.prefixes = {"+CMGF:"};
  rule.needsLine = true;
  const reply::Answer query = Command("at+cmgf?", rule, kModeQueryLimitMs);
  // A modem that does not answer the query is taken at the word of the switch.
  if (query.lines.empty()) return set.final.kind == reply::Final::Ok;
  return reply::Trimmed(query.lines[0].substr(std::strlen("+CMGF:"))) == value;
}

int CModem::SendSMS(const char* number, const char* message, CSendResult* result) {
  CSendResult own;
  CSendResult& outcome = result != nullptr ? *result : own;
  outcome = CSendResult();
  if (!IsOpen()) return 0;
  const std::string text = pdu::CleanMessage(message);
  const std::string phone = pdu::CleanNumber(number);
  LogSendSMS(phone.c_str());
  LogSendSMS(text.c_str());
  SubmitByMode(phone, text, outcome);
  // A modem that lost its service-centre address but still has it stored
  // takes it written back, once.
  if (outcome.outcome == SendOutcome::Refused &&
      outcome.final.kind == reply::Final::CmsError &&
      outcome.final.detail == kServiceCentreUnknown && RestoreServiceCentre()) {
    outcome = CSendResult();
    SubmitByMode(phone, text, outcome);
  }
  if (outcome.outcome == SendOutcome::Refused) {
    LogSendSMS(("refused: " + outcome.cause).c_str());
  } else if (outcome.outcome != SendOutcome::Sent) {
    LogSendSMS(outcome.cause.c_str());
  }
  const char* word = OutcomeWord(outcome.outcome);
  LogSendSMS(word);
  GetLog().Write("mess", phone.c_str(), 0, word);
  return outcome.outcome == SendOutcome::Sent ? outcome.references.back() : 0;
}

int CModem::SubmitByMode(const std::string& phone, const std::string& text, CSendResult& result) {
  if (m_mode == MessageMode::Text) return SubmitText(phone.c_str(), text.c_str(), result);
  switch (pdu::FormOfMessage(text.c_str()).encoding) {
    case pdu::Encoding::Gsm7:
      return SubmitPdu7Bit(phone.c_str(), text.c_str(), result);
    case pdu::Encoding::Ucs2:
      return SubmitPduUcs2(phone.c_str(), text.c_str(), result);
    case pdu::Encoding::Ucs2Multipart:
      return SubmitPduUcs2Multipart(phone.c_str(), text.c_str(), result);
  }
  return 0;
}

bool CModem::RestoreServiceCentre() {
  reply::AnswerRule rule;
  rule.prefixes = {"+CSCA:"};
  const std::string stored = StoredServiceCentre(Command("AT+CSCA?", rule, kReplyLimitMs));
  if (stored.empty()) return false;
  GetLog().Write("engine", "SendSMS", 0, ("service centre written back: " + stored).c_str());
  return Command("AT+CSCA=" + stored, reply::AnswerRule(), kReplyLimitMs).final.kind ==
         reply::Final::Ok;
}
