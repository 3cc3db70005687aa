// libFuzzer target for what a modem hands over: the decoders of SMS-DELIVER
// and SMS-STATUS-REPORT, the assembler of long messages and the reader of
// the lines that announce them. The input's first byte chooses the path; the
// rest is the PDU's octets (written as hex, to reach every field), a raw text
// (to reach the refusals of the hex), or lines.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "modem/SmsLines.h"
#include "pdu/DecodeInvariants.h"

namespace {

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken promise: %s\n", what);
  std::abort();
}

void Decode(const std::string& text, pdu::CPartAssembler& assembler) {
  const std::string problem = pdu_test::CheckDecoding(text, assembler);
  if (problem.empty()) return;
  std::fprintf(stderr, "%s\n", problem.c_str());
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
