#pragma once
// varnek-send --probe: the modem captured as a delivery captures it, asked
// (read-only) what it knows of itself, released, and a short report with a
// verdict. One port per call: a run over several modems probes each.
#include <cstdio>
#include <string>

// The exit status: 0 ready to send, 1 not (a modem that does not answer AT
// included), 2 the port cannot be opened (error says why, nothing is
// printed). The report goes to out.
int ProbePort(int port, int baudRate, std::FILE* out, std::string& error);
