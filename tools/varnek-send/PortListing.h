#pragma once
// varnek-send --list-ports: the COM ports the system reports (and a port
// mapped to a --device), each with its device and driver, tried as the
// window's "Найти" tries them: opened at the speed and asked "at". The ports
// are tried at the same time, so that silent ones cost ten seconds in all,
// not ten seconds each.
#include <cstdio>
#include <vector>

// One line per port on out. The exit status: 0 when a modem answers on one,
// 1 when none does (no port found included). extraPorts (those mapped to a
// --device) are listed too when the system does not report them.
int ListPorts(int baudRate, const std::vector<int>& extraPorts, std::FILE* out);
