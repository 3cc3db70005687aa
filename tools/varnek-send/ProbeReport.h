#pragma once
// varnek-send --probe: the modems of a run found as "Найти" finds them (all
// at once, at the common speeds where a port answers with garbage), then
// each captured as a delivery captures it at the speed it answered at,
// asked (read-only) what it knows of itself, released, and a short report
// with a verdict.
#include <cstdio>
#include <string>
#include <vector>

// One report per port on out, in the order of ports, a blank line between
// two; each try of the search announced on progress as it starts. A port
// that cannot be opened gets no report: errors names it. The exit status is
// the worst of the ports': 0 ready to send, 1 not (a port without a modem
// included), 2 a port cannot be opened.
int ProbePorts(const std::vector<int>& ports, int baudRate, std::FILE* out, std::FILE* progress,
               std::vector<std::string>& errors);
