#pragma once
// The status lines of a busy 3G USB stick (^DSFLOWRPT, ^RSSI, ^MODE, ^BOOT
// and +CREG): sent in turn as unsolicited lines, and as a flood between
// AT+CMGS and its prompt.
#include <string>
#include <vector>

namespace modemsim {

// Each with its line ends, as the stick sends it.
std::vector<std::string> StatusLines();

// Whole status lines in turn, from the first, at least bytes of them;
// empty for 0.
std::string StatusFlood(int bytes);

}  // namespace modemsim
