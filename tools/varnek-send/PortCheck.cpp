#include "tools/varnek-send/PortCheck.h"

#include "modem/ComPort.h"
#include "platform/CommandLine.h"
#include "platform/SerialDevice.h"
#include "tools/varnek-send/SendMessages.h"

std::string PortName(int port) {
  const std::string device = platform::ComDevicePath(port);
  const std::string com = "COM" + std::to_string(port);
  return device.empty() ? com : com + " (" + platform::PathToUtf8(device) + ")";
}

bool CheckPort(int port, int baudRate, std::string& error) {
  if (port == 0) {
    error = Say(Msg::NoPortToSend);
    return false;
  }
  CComPort check;
  check.SetBaudRate(baudRate);
  const bool opened = check.Open(port) != 0;
  if (opened) {
    check.Close();
    return true;
  }
  error = baudRate != 0 ? Say(Msg::CannotOpenPortAt,
                               {PortName(port), std::to_string(baudRate), check.FailureReason()})
                        : Say(Msg::CannotOpenPort, {PortName(port), check.FailureReason()});
  return false;
}
