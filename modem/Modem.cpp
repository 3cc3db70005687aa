#include "modem/Modem.h"

#include <cstring>
#include <string>

#include "modem/Log.h"
#include "modem/Pdu.h"
#include "modem/Reply.h"
#include "platform/Clock.h"
#include "platform/Random.h"

namespace {

constexpr uint32_t kReplyLimitMs = 10000;   // "at", "at+cmgf=0" and the "> " prompt
constexpr uint32_t kSubmitLimitMs = 30000;  // the final reply to a submission
constexpr int kPieceBytes = 32;
constexpr int kCommandBuffer = 100;
constexpr int kReplyBuffer = 1024;
constexpr char kCtrlZ = 26;
constexpr char kEscape = 27;
// The SMS prompt: ">" at the start of a line, then a blank or the line end.
constexpr char kPrompt[] = ">";

int TransmitText(CComPort& port, const std::string& text, int piece) {
  int length = static_cast<int>(text.size());
  return port.Transmit(text.c_str(), length, piece) == length ? 1 : 0;
}

void LogSendSMS(const char* text) { GetLog().Write("engine", "SendSMS", 0, text); }

// The cause of a refusal in a reply (a terminated text), empty when none.
std::string RefusalIn(const char* answer) {
  return reply::RefusalCause(reply::ReadFinalResult(answer, static_cast<int>(std::strlen(answer))));
}

// The PDU submission dialogue: "at+cmgs=<n>\r", the prompt, the PDU text
// with Ctrl-Z in paced pieces, the final reply with "+CMGS: <reference>".
// promptBufferSize is 100 bytes for a single PDU and 1024 for a part.
int SubmitPduText(CModem& modem, const std::string& pduText, int promptBufferSize, int& reference,
                  std::string& refusal) {
  char answer[kReplyBuffer];
  if (pduText.empty()) return 0;  // the text could not be encoded; nothing goes out
  if (!TransmitText(modem, pdu::CmgsCommand(pduText), 0)) return 0;
  // From here on a real modem may be waiting for PDU text: a failure before
  // the final reply sends ESC, which makes it drop the message. Without it
  // every later "at" would go into that text and every capture would fail.
  if (!modem.WaitFor(answer, promptBufferSize, kPrompt, kReplyLimitMs) ||
      !TransmitText(modem, pduText + kCtrlZ, kPieceBytes)) {
    refusal = RefusalIn(answer);
    modem.Transmit(&kEscape, 1, 0);
    return 0;
  }
  if (!modem.WaitForOk(answer, kReplyBuffer, kSubmitLimitMs, nullptr)) {
    refusal = RefusalIn(answer);
    return 0;
  }
  reference = pdu::ParseReference(answer);
  return 1;
}

}  // namespace

void CModem::KeepChars(char* text, const char* set) { pdu::KeepChars(text, set); }

int CModem::InitModem() {
  char buffer[kReplyBuffer] = {};
  Receive(buffer, kReplyBuffer);  // takes whatever the modem sent earlier off the line
  // A modem left waiting for PDU text (a run killed in the middle of a
  // submission, a power cut) drops that text on ESC; in command mode ESC is
  // ignored. Without it "at" would be more text, and every capture would fail.
  Transmit(&kEscape, 1, 0);
  if (!TransmitText(*this, "at\r", 0)) return 0;
  if (!WaitForOk(buffer, kReplyBuffer, kReplyLimitMs, nullptr)) return 0;
  if (!TransmitText(*this, "at+cmgf=0\r", 0)) return 0;
  // Some modems refuse the mode switch; they may still take PDUs.
  WaitForOk(buffer, kReplyBuffer, kReplyLimitMs, "ERROR");
  return 1;
}

int CModem::SendSMS(const char* number, const char* message, std::string* refusal) {
  int reference = 0;
  std::string cause;
  if (refusal != nullptr) refusal->clear();
  if (!IsOpen()) return 0;
  std::string text = pdu::CleanMessage(message);
  std::string phone = pdu::CleanNumber(number);
  LogSendSMS(phone.c_str());
  LogSendSMS(text.c_str());

  switch (pdu::FormOfMessage(text.c_str()).encoding) {
    case pdu::Encoding::Gsm7:
      SubmitPdu7Bit(phone.c_str(), text.c_str(), reference, cause);
      break;
    case pdu::Encoding::Ucs2:
      SubmitPduUcs2(phone.c_str(), text.c_str(), reference, cause);
      break;
    case pdu::Encoding::Ucs2Multipart:
      SubmitPduUcs2Multipart(phone.c_str(), text.c_str(), reference, cause);
      break;
  }
  if (!cause.empty()) LogSendSMS(("refused: " + cause).c_str());
  const char* outcome = reference != 0 ? "OK" : "FAILED";
  LogSendSMS(outcome);
  GetLog().Write("mess", phone.c_str(), 0, outcome);
  if (refusal != nullptr) *refusal = cause;
  return reference;
}

int CModem::SubmitPdu7Bit(const char* number, const char* message, int& reference,
                          std::string& refusal) {
  reference = 0;
  std::string digits;
  if (!pdu::DestinationDigits(number, true, digits)) return 0;
  return SubmitPduText(*this, pdu::Pdu7Bit(digits, message), kCommandBuffer, reference, refusal);
}

int CModem::SubmitPduUcs2(const char* number, const char* message, int& reference,
                          std::string& refusal) {
  reference = 0;
  std::string digits;
  if (!pdu::DestinationDigits(number, false, digits)) return 0;
  return SubmitPduText(*this, pdu::PduUcs2(digits, message), kCommandBuffer, reference, refusal);
}

int CModem::SubmitPduUcs2Multipart(const char* number, const char* message, int& reference,
                                   std::string& refusal) {
  reference = 0;
  std::string digits;
  if (!pdu::DestinationDigits(number, false, digits)) return 0;
  int remaining = static_cast<int>(std::strlen(message));
  int parts = pdu::PartCount(remaining);
  // Every multipart message takes a new concatenation reference. The seeding
  // also decides the calling thread's later draws (the worker's pauses).
  platform::ThreadRandSeed(static_cast<unsigned>(platform::UnixSeconds()));
  int concatenation = platform::ThreadRand() & 0xFF;
  for (int part = 1; part <= parts; ++part) {
    reference = 0;
    int length = remaining < pdu::kPartChars ? remaining : pdu::kPartChars;
    std::string pduText =
        pdu::PduMultipartPart(digits, message, length, concatenation, parts, part);
    if (!SubmitPduText(*this, pduText, kReplyBuffer, reference, refusal)) return 0;
    if (reference == 0) return 0;  // the remaining parts are not sent
    message += length;
    remaining -= length;
  }
  return 1;
}
