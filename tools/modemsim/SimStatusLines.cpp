#include "tools/modemsim/SimStatusLines.h"

#include <iterator>

namespace modemsim {

namespace {

// As a stick reports data flow, signal, mode, boot keys and registration,
// unasked.
constexpr const char* kStatusLines[] = {
    "\r\n^DSFLOWRPT:0000240E,00000000,00000000,00000000000AD023,00000000002FA192,0003E800,"
    "0003E800\r\n",
    "\r\n^RSSI:17\r\n",
    "\r\n^MODE:5,4\r\n",
    "\r\n^BOOT:20952988,0,0,0,75\r\n",
    "\r\n+CREG: 1\r\n",
};

}  // namespace

std::vector<std::string> StatusLines() {
  return {std::begin(kStatusLines), std::end(kStatusLines)};
}

std::string StatusFlood(int bytes) {
  std::string flood;
  for (size_t next = 0; static_cast<int>(flood.size()) < bytes; ++next) {
    flood += kStatusLines[next % std::size(kStatusLines)];
  }
  return flood;
}

}  // namespace modemsim
