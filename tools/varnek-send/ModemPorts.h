#pragma once
// The modems of one varnek-send run, from its --port and --device options,
// and the engine set up to drive them: one as the window does, several as a
// pool that shares the list.
#include <string>
#include <vector>

#include "engine/Engine.h"

struct CModemPort {
  int m_port = 0;        // the COM number: the code of its lines in the "modem" log
  std::string m_device;  // UTF-8 as given; "": the port's own device

  bool operator==(const CModemPort& other) const {
    return m_port == other.m_port && m_device == other.m_device;
  }
};

// The first COM number a --device gets when no --port names it.
constexpr int kFirstDevicePort = 99;

// The n-th device is the modem of the n-th port (as one --device with one
// --port has always been); devices beyond the ports get COM 99, 100, ... in
// order, skipping the numbers of the ports, so that every modem has a number
// of its own; ports beyond the devices are their own devices. Empty when
// neither is given: the settings file's port holds. ports and devices are
// each free of repeats (the option parser refuses them).
std::vector<CModemPort> ModemPorts(const std::vector<int>& ports,
                                   const std::vector<std::string>& devices);

// Maps every device to its number and sets the engine's port, or its pool
// when there are several modems. Nothing when modems is empty.
void UseModemPorts(const std::vector<CModemPort>& modems, CEngine& engine);

// The COM numbers the engine's next delivery drives: its pool's, or its one
// port.
std::vector<int> PortsOfRun(const CEngine& engine);
