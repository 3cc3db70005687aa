// libFuzzer target for what a modem hands over: the decoders of SMS-DELIVER
// and SMS-STATUS-REPORT, the assembler of long messages and the reader of
// the lines that announce them. The input's first byte chooses the path; the
// rest is the PDU's octets (written as hex, to reach every field), a raw text
// (to reach the refusals of the hex), or lines.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "modem/PartAssembler.h"
#include "modem/PduDecode.h"
#include "modem/SmsLines.h"

namespace {

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken promise: %s\n", what);
  std::abort();
}

std::string Hex(const uint8_t* data, size_t size) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (size_t i = 0; i < size; ++i) {
    hex += kDigits[data[i] >> 4];
    hex += kDigits[data[i] & 0x0F];
  }
  return hex;
}

void Decode(const std::string& text, pdu::CPartAssembler& assembler) {
  pdu::StatusReport report;
  std::string problem;
  const bool reportRead = pdu::DecodeStatusReport(text, report, problem);
  Require(reportRead == problem.empty(), "a report refused without a reason, or read with one");
  Require(report.reference >= 0 && report.reference <= 255, "TP-MR within an octet");
  Require(report.recipient.text.size() <= 21, "TP-RA of at most 20 digits and a plus");
  pdu::DeliverMessage message;
  const bool deliverRead = pdu::DecodeDeliver(text, message, problem);
  Require(deliverRead == problem.empty(), "a message refused without a reason, or read with one");
  Require(message.text.size() <= 160, "at most 160 characters in one message");
  Require(message.text1251.size() <= message.text.size(), "a 1251 text longer than its UTF-16");
  const pdu::Concatenation& part = message.concatenation;
  Require(part.parts == 0 || (part.part >= 1 && part.part <= part.parts && part.parts <= 255),
          "a part number within its total");
  const pdu::PduKind kind = pdu::KindOfPdu(text);
  Require(!deliverRead || kind == pdu::PduKind::Deliver, "a message read as another kind");
  Require(!reportRead || kind == pdu::PduKind::StatusReport, "a report read as another kind");
  Require(pdu::TpduLength(text) >= -1, "a length below -1");
  pdu::JoinedMessage whole;
  if (deliverRead) assembler.Add(message, whole);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t mode = data[0] % 4;
  ++data;
  --size;
  pdu::CPartAssembler assembler;
  if (mode == 0) {
    Decode(Hex(data, size), assembler);
  } else if (mode == 1) {
    Decode(std::string(reinterpret_cast<const char*>(data), size), assembler);
  } else if (mode == 2) {
    const reply::SmsLine line =
        reply::ReadSmsLine(std::string(reinterpret_cast<const char*>(data), size));
    Require(line.kind == reply::SmsLineKind::None || line.length <= 255, "a length beyond 255");
  } else {
    // Several PDUs, cut at each 0xFF, through the assembler.
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i) {
      if (i < size && data[i] != 0xFF) continue;
      Decode(Hex(data + start, i - start), assembler);
      start = i + 1;
    }
    for (const pdu::JoinedMessage& joined : assembler.TakeIncomplete()) {
      Require(!joined.missing.empty(), "an incomplete message without a missing part");
    }
    Require(assembler.Pending().empty(), "parts left after they were taken");
  }
  return 0;
}
