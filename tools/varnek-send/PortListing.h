#pragma once
// varnek-send --list-ports: the COM ports the system reports (and a port
// mapped to a --device), each with its device and driver, tried as the
// window's "Найти" tries them (CPortSearch): all at the same time, so that
// silent ones cost ten seconds in all, not ten seconds each, and at the
// common speeds where a port answers with garbage.
#include <cstdio>
#include <vector>

// A table on out: a header, then one line per port. Each try is announced
// on progress as it starts. The exit status: 0 when a modem answers on one,
// 1 when none does (no port found included). extraPorts (those mapped to a
// --device) are listed too when the system does not report them.
int ListPorts(int baudRate, const std::vector<int>& extraPorts, std::FILE* out, std::FILE* progress);
