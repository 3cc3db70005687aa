// Messages submitted in PDU mode: one SMS-SUBMIT per message, or one per part
// of a concatenated message.
#include <cstring>
#include <string>

#include "modem/ModemDialogue.h"
#include "modem/Pdu.h"
#include "platform/Clock.h"
#include "platform/Random.h"

namespace {

int Invalid(CSendResult& result, const std::string& cause) {
  result.outcome = SendOutcome::Invalid;
  result.cause = cause;
  return 0;
}

bool SubmitPdu(CModem& modem, const std::string& pduText, uint32_t confirmLimitMs,
               CSendResult& result) {
  if (pduText.empty()) return Invalid(result, "the text cannot be encoded") != 0;
  return dialogue::SubmitAfterCommand(modem, pdu::CmgsCommand(pduText), pduText, confirmLimitMs,
                                      result);
}

// The address digits, or why the number cannot be addressed.
bool Address(const char* number, bool allowTen, std::string& digits, CSendResult& result) {
  if (pdu::DestinationDigits(number, allowTen, digits)) return true;
  Invalid(result, allowTen ? "the number needs 11 digits (or 10)"
                           : "the number needs 11 digits: ten digits take a Latin (7-bit) message only");
  return false;
}

}  // namespace

int CModem::SubmitPdu7Bit(const char* number, const char* message, CSendResult& result) {
  std::string digits;
  result.parts = 1;
  if (!Address(number, true, digits, result)) return 0;
  return SubmitPdu(*this, pdu::Pdu7Bit(digits, message), m_confirmLimitMs, result) ? 1 : 0;
}

int CModem::SubmitPduUcs2(const char* number, const char* message, CSendResult& result) {
  std::string digits;
  result.parts = 1;
  if (!Address(number, false, digits, result)) return 0;
  return SubmitPdu(*this, pdu::PduUcs2(digits, message), m_confirmLimitMs, result) ? 1 : 0;
}

int CModem::SubmitPduUcs2Multipart(const char* number, const char* message, CSendResult& result) {
  std::string digits;
  int remaining = static_cast<int>(std::strlen(message));
  const int parts = pdu::PartCount(remaining);
  result.parts = parts;
  if (!Address(number, false, digits, result)) return 0;
  // Every multipart message takes a new concatenation reference. The seeding
  // also decides the calling thread's later draws (the worker's pauses).
  platform::ThreadRandSeed(static_cast<unsigned>(platform::UnixSeconds()));
  const int concatenation = platform::ThreadRand() & 0xFF;
  for (int part = 1; part <= parts; ++part) {
    const int length = remaining < pdu::kPartChars ? remaining : pdu::kPartChars;
    const std::string pduText =
        pdu::PduMultipartPart(digits, message, length, concatenation, parts, part);
    if (!SubmitPdu(*this, pduText, m_confirmLimitMs, result)) {
      // The parts that went out reach the phone whatever follows: sending
      // the whole message again would repeat them.
      if (part > 1) {
        result.outcome = SendOutcome::Unconfirmed;
        result.cause = "part " + std::to_string(part) + " of " + std::to_string(parts) +
                       " not sent (" + result.cause + "), the parts before it went out";
      }
      return 0;  // the remaining parts are not sent
    }
    message += length;
    remaining -= length;
  }
  return 1;
}
