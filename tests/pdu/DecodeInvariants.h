#pragma once
// The promises of the decoders of what a modem hands over, checked for one
// text: used by the random test and by the libFuzzer target.
#include <string>

#include "modem/PartAssembler.h"

namespace pdu_test {

// Runs text through both decoders, KindOfPdu and TpduLength, and a message
// that decodes through assembler. Empty when all holds: a refusal names its
// reason and a success none, the fields stay within their octets, the kind
// agrees with the decoder that read it. Otherwise the first violation.
std::string CheckDecoding(const std::string& text, pdu::CPartAssembler& assembler);

}  // namespace pdu_test
