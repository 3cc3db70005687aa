#include "tools/varnek-send/PortCheck.h"

#include "modem/ComPort.h"
#include "platform/CommandLine.h"
#include "platform/SerialDevice.h"

std::string PortName(int port) {
  const std::string device = platform::ComDevicePath(port);
  const std::string com = "COM" + std::to_string(port);
  return device.empty() ? com : com + " (" + platform::PathToUtf8(device) + ")";
}

bool CheckPort(int port, int baudRate, std::string& error) {
  if (port == 0) {
    error = "no port to send through: give --port N or --device PATH (the settings name none)";
    return false;
  }
  CComPort check;
  check.SetBaudRate(baudRate);
  const bool opened = check.Open(port) != 0;
  if (opened) {
    check.Close();
    return true;
  }
  error = "cannot open " + PortName(port);
  if (baudRate != 0) error += " at " + std::to_string(baudRate) + " bit/s";
  error += ": " + check.FailureReason();
  return false;
}
