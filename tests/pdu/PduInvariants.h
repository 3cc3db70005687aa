#pragma once
// The structural promises of the PDU layer, checked for one submission: used
// by the random test and by the libFuzzer target.
#include <string>

namespace pdu_test {

// Runs rawNumber and rawText through cleaning, choice and every PDU of the
// submission. Empty when all holds: hex only, TP-UDL agrees with the user data
// and the text, each PDU fits the 1024-byte dialogue buffers, the command
// announces its octets and fits 100 bytes. Otherwise the first violation.
std::string CheckSubmission(const std::string& rawNumber, const std::string& rawText,
                            int reference);

}  // namespace pdu_test
