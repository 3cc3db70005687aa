// Finding, capturing and releasing the modem.
#include <cstring>
#include <string>

#include "modem/Log.h"
#include "modem/Modem.h"
#include "platform/CodePage.h"
#include "platform/PortList.h"

namespace {

constexpr int kMaxPortDigits = 9;  // keeps the number inside int

void LogStep(const char* source, const char* text) { GetLog().Write("engine", source, 0, text); }

// "COM3" or "\"COM3\"" gives 3; a name not beginning with COM gives -1.
int ParsePortName(const std::string& stored) {
  std::string name = stored;
  if (!name.empty() && name[0] == '"') {
    name.erase(0, 1);
    size_t quote = name.find('"');
    if (quote != std::string::npos) name.resize(quote);
  }
  if (name.compare(0, 3, "COM") != 0) return -1;
  int number = 0;
  for (size_t i = 3; i < name.size() && i < 3 + kMaxPortDigits; ++i) {
    if (name[i] < '0' || name[i] > '9') break;
    number = number * 10 + (name[i] - '0');
  }
  return number;
}

}  // namespace

std::vector<int> CModem::ListComPorts() {
  std::vector<std::string> names;
  std::vector<int> ports;
  platform::SerialPortNames(names);
  for (const std::string& name : names) {
    int number = ParsePortName(name);
    if (number >= 0) ports.push_back(number);
  }
  return ports;
}

int CModem::FindPort(int& port, const std::function<void(int)>& beforePort) {
  LogStep("FindPort", "start...");
  port = 0;
  for (int candidate : ListComPorts()) {
    if (beforePort) beforePort(candidate);
    try {
      if (!Open(candidate) || !InitModem()) {
        Close();
        continue;
      }
      Close();
      LogStep("FindPort", "suc\xF1" "ess...");  // the fourth letter is the Cyrillic "с"
      port = candidate;
      break;
    } catch (...) {
      LogStep("FindPort", "exeption...");
      Close();
    }
  }
  if (port == 0) LogStep("FindPort", "failed...");
  return port;
}

int CModem::CaptureModemDevice(int& ready, int port) {
  ready = 0;
  try {
    LogStep("CaptureModemDevice", "start...");
    if (!Open(port)) {
      LogStep("CaptureModemDevice", "failed");
      Close();
      return ready;
    }
    LogStep("CaptureModemDevice", "setup...");
    if (!InitModem()) {
      LogStep("CaptureModemDevice", "failed");
      Close();
      return ready;
    }
    LogStep("CaptureModemDevice", "success");
    ready = 1;
  } catch (...) {
    LogStep("CaptureModemDevice", "exeption");
    Close();
    ready = 0;
  }
  return ready;
}

int CModem::SendSMSWide(const char16_t* number, const char16_t* message, int& reference,
                        CSendResult* result) {
  std::string narrowNumber = platform::Utf16ToCp1251(number);
  std::string narrowMessage = platform::Utf16ToCp1251(message);
  reference = SendSMS(narrowNumber.c_str(), narrowMessage.c_str(), result);
  return reference;
}

void CModem::ReleaseModemDevice() {
  Close();
  LogStep("ReleaseModemDevice", "success");
}
