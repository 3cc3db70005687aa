// libFuzzer target for the PDU layer: the input's first byte splits the rest
// into a number and a message text; the submission must keep every
// structural promise of the layer.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "pdu/PduInvariants.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t split = std::min<std::size_t>(data[0] % 32, rest.size());
  // Texts end at their first zero byte, as they do in the program.
  const std::string number = rest.substr(0, split).c_str();
  const std::string text = rest.substr(split).c_str();
  const std::string problem = pdu_test::CheckSubmission(number, text, data[0]);
  if (!problem.empty()) {
    std::fprintf(stderr, "%s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
