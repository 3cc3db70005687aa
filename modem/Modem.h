#pragma once
// The modem protocol on a serial port: readiness check, SMS submission in PDU
// mode, discovery and capture. Adds no data to CComPort.
#include <functional>
#include <vector>

#include "modem/ComPort.h"

class CModem : public CComPort {
 public:
  // 1 when the modem answered "at" with OK and PDU mode was requested.
  int InitModem();
  // The message reference the modem reported; 0 = not sent.
  int SendSMS(const char* number, const char* message);
  int SubmitPdu7Bit(const char* number, const char* message, int& reference);
  int SubmitPduUcs2(const char* number, const char* message, int& reference);
  int SubmitPduUcs2Multipart(const char* number, const char* message, int& reference);
  // Removes from text every character that is not in set.
  static void KeepChars(char* text, const char* set);

  // COM numbers of the serial ports the system reports, in its order.
  static std::vector<int> ListComPorts();
  // The first port on which a modem answered, 0 if none; also the result.
  // beforePort, when given, runs before each port is tried, with its number
  // (a window searching on its own thread repaints there).
  int FindPort(int& port, const std::function<void(int)>& beforePort = nullptr);
  // ready = 1 when the port is open and the modem in PDU mode.
  int CaptureModemDevice(int& ready, int port);
  // number and message as UTF-16; converted with code page 1251.
  int SendSMSWide(const char16_t* number, const char16_t* message, int& reference);
  void ReleaseModemDevice();
};
