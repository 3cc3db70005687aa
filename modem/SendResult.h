#pragma once
// What became of one message handed to the modem: the outcome the delivery
// acts on, the references the modem reported, and the cause in words.
#include <string>
#include <vector>

#include "modem/Reply.h"

enum class SendOutcome {
  Sent,         // every part confirmed with a message reference
  Refused,      // the modem or the network refused it; nothing of it went out
  // The modem took (part of) the message and then gave no confirmation: it
  // fell silent, the device vanished, or a later part was refused after
  // earlier ones went out. It may be on its way: never sent again unasked.
  Unconfirmed,
  NotSent,      // nothing was handed over and nothing refused (no prompt, a failed write)
  Invalid,      // number or text cannot be sent at all; nothing went out
};

struct CSendResult {
  SendOutcome outcome = SendOutcome::NotSent;
  // The references of the parts confirmed, in order (pdu::kReportedZero for
  // a reported 0).
  std::vector<int> references;
  int parts = 0;  // of the message
  // Why it is not Sent, for the operator and the log (1251; ASCII today):
  // the refusal as reply::RefusalCause names it, or what went wrong.
  std::string cause;
  // Refused: whose fault.
  reply::RefusalKind refusal = reply::RefusalKind::Unplaced;
  // Refused: the refusal itself, for a caller that repairs and tries again.
  reply::FinalResult final;
};
