#include "tools/varnek-send/ModemPorts.h"

#include <algorithm>

#include "platform/CommandLine.h"
#include "platform/SerialDevice.h"

std::vector<CModemPort> ModemPorts(const std::vector<int>& ports,
                                   const std::vector<std::string>& devices) {
  std::vector<CModemPort> modems;
  for (int port : ports) modems.push_back({port, std::string()});
  int next = kFirstDevicePort;
  for (size_t i = 0; i < devices.size(); ++i) {
    if (i < modems.size()) {
      modems[i].m_device = devices[i];
      continue;
    }
    while (std::find(ports.begin(), ports.end(), next) != ports.end()) ++next;
    modems.push_back({next++, devices[i]});
  }
  return modems;
}

void UseModemPorts(const std::vector<CModemPort>& modems, CEngine& engine) {
  if (modems.empty()) return;
  for (const CModemPort& modem : modems) {
    if (!modem.m_device.empty()) platform::MapComPort(modem.m_port, platform::PathFromUtf8(modem.m_device));
  }
  engine.m_port = modems.front().m_port;
  // One modem is driven as the window drives its own.
  engine.m_poolPorts.clear();
  if (modems.size() > 1) {
    for (const CModemPort& modem : modems) engine.m_poolPorts.push_back(modem.m_port);
  }
}

std::vector<int> PortsOfRun(const CEngine& engine) {
  if (engine.m_poolPorts.empty()) return {engine.m_port};
  return std::vector<int>(engine.m_poolPorts.begin(), engine.m_poolPorts.end());
}
