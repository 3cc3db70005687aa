// The text-input dialogue of one message part, the same in PDU and text mode.
#include <cstdint>

#include "modem/ModemDialogue.h"
#include "modem/Pdu.h"

namespace dialogue {
namespace {

void SetOutcome(CSendResult& result, SendOutcome outcome, const std::string& cause) {
  result.outcome = outcome;
  result.cause = cause;
}

void SetRefused(CSendResult& result, const reply::FinalResult& final) {
  const std::string cause = reply::RefusalCause(final);
  SetOutcome(result, SendOutcome::Refused, cause.empty() ? "ERROR" : cause);
  result.refusal = reply::ClassifyRefusal(final);
  result.final = final;
}

// Up to the prompt: nothing has been handed over yet.
bool AwaitPrompt(CModem& modem, const std::string& command, CSendResult& result) {
  if (!TransmitText(modem, command, 0)) {
    SetOutcome(result, SendOutcome::NotSent, "the command could not be written to the port");
    return false;
  }
  reply::AnswerRule rule;
  rule.prompt = true;
  rule.echo = command.substr(0, command.find('\r'));
  reply::CAnswerReader reader(rule);
  // The limit counts silence: a modem busy sending notices is still there.
  const CComPort::WaitEnd end = modem.Await(reader, kReplyLimitMs, true);
  if (reader.Result().prompt) return true;
  if (end == CComPort::WaitEnd::Lost) {
    SetOutcome(result, SendOutcome::NotSent, modem.FailureReason());
  } else if (reply::IsFailure(reader.Result().final)) {
    SetRefused(result, reader.Result().final);
  } else {
    SetOutcome(result, SendOutcome::NotSent, "no prompt for the message text within 10 s");
  }
  return false;
}

// After Ctrl-Z: the modem has the message.
bool AwaitConfirmation(CModem& modem, const std::string& text, uint32_t limitMs,
                       CSendResult& result) {
  reply::AnswerRule rule;
  rule.prefixes = {"+CMGS:"};
  rule.echo = text;
  reply::CAnswerReader reader(rule);
  const CComPort::WaitEnd end = modem.Await(reader, limitMs);
  const reply::Answer& answer = reader.Result();
  if (answer.final.kind == reply::Final::Ok) {
    const int reference = answer.lines.empty() ? 0 : pdu::ParseReference(answer.lines[0].c_str());
    if (reference != 0) {
      result.references.push_back(reference);
      result.outcome = SendOutcome::Sent;
      return true;
    }
    SetOutcome(result, SendOutcome::Unconfirmed, "the modem said OK without a message reference");
  } else if (reply::IsFailure(answer.final)) {
    SetRefused(result, answer.final);
  } else if (end == CComPort::WaitEnd::Lost) {
    SetOutcome(result, SendOutcome::Unconfirmed, modem.FailureReason());
  } else {
    SetOutcome(result, SendOutcome::Unconfirmed,
               "no confirmation within " + std::to_string(limitMs / 1000) + " s");
  }
  return false;
}

}  // namespace

bool TransmitText(CModem& modem, const std::string& text, int piece) {
  const int length = static_cast<int>(text.size());
  return modem.Transmit(text.c_str(), length, piece) == length;
}

bool SubmitAfterCommand(CModem& modem, const std::string& command, const std::string& text,
                        uint32_t confirmLimitMs, CSendResult& result) {
  // From the command on a real modem may be waiting for text: a failure
  // before Ctrl-Z has gone out sends ESC, which makes it drop the message.
  // Without it every later "at" would go into that text.
  if (!AwaitPrompt(modem, command, result)) {
    if (!modem.IsDeviceLost()) modem.Transmit(&kEscape, 1, 0);
    return false;
  }
  if (!TransmitText(modem, text + kCtrlZ, kPieceBytes)) {
    modem.Transmit(&kEscape, 1, 0);
    SetOutcome(result, SendOutcome::NotSent, "the message text could not be written to the port");
    return false;
  }
  return AwaitConfirmation(modem, text, confirmLimitMs, result);
}

}  // namespace dialogue
