#include "tools/varnek-send/PortCheck.h"

#include <mutex>

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

std::string SpeedName(int baudRate) {
  return baudRate == 0 ? "the port's own speed" : std::to_string(baudRate) + " bit/s";
}

CPortSearch::Events PrintTries(std::FILE* out) {
  CPortSearch::Events events;
  events.trying = [out](int port, int baudRate) {
    static std::mutex lock;  // the search's threads print one line at a time
    const std::string line = "trying " + PortName(port) + " at " + SpeedName(baudRate);
    std::lock_guard<std::mutex> guard(lock);
    std::fprintf(out, "%s\n", line.c_str());
    std::fflush(out);
  };
  return events;
}

std::string FindingText(const CPortFinding& finding) {
  switch (finding.m_answer) {
    case PortAnswer::Modem:
      return "answers as a modem at " + SpeedName(finding.m_baudRate);
    case PortAnswer::Silent:
      return "no answer to AT";
    case PortAnswer::Garbage:
      return "bytes that are no answer, at every common speed";
    case PortAnswer::Refused:
      return "refuses AT (ERROR) at " + SpeedName(finding.m_baudRate);
    case PortAnswer::CannotOpen:
      return "cannot be opened: " + finding.m_reason;
    case PortAnswer::Stopped:
      return "not tried to the end";
  }
  return std::string();
}
