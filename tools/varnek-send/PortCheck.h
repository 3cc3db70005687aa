#pragma once
// The port of a run, opened once before anything else as a capture opens it,
// so that a device that is missing, busy, no serial device or refuses the
// speed is named at once, with the system's reason, instead of failing a
// capture every ten seconds. One port per call: a run over several modems
// checks each.
#include <cstdio>
#include <string>

#include "modem/PortSearch.h"

// "COM99 (/dev/ttyUSB0)": the COM number and the device it opens (UTF-8),
// "COM300" when it names none.
std::string PortName(int port);

// Opens the port with the same open, line set-up and speed as a capture and
// closes it again. False with error naming the port, its device and the
// system's reason; port 0 is no port at all.
bool CheckPort(int port, int baudRate, std::string& error);

// "115200 bit/s", or "the port's own speed" for 0.
std::string SpeedName(int baudRate);

// The events of a port search that print "trying COM3 (/dev/ttyS2) at
// 115200 bit/s" on out as each try starts, a whole line at a time.
CPortSearch::Events PrintTries(std::FILE* out);

// What a port search found on a port, in words: "answers as a modem at
// 9600 bit/s", "no answer to AT", ...
std::string FindingText(const CPortFinding& finding);
