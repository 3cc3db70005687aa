#pragma once
// The modem protocol on a serial port: readiness check, SMS submission in PDU
// mode, discovery and capture. Adds no data to CComPort.
#include <functional>
#include <string>
#include <vector>

#include "modem/ComPort.h"

class CModem : public CComPort {
 public:
  // 1 when the modem answered "at" with OK and PDU mode was requested.
  int InitModem();
  // The message reference the modem reported (pdu::kReportedZero for a
  // reported 0); 0 = not sent. refusal, when given, receives the modem's
  // reason when it refused the message with +CMS ERROR or +CME ERROR
  // (reply::RefusalCause), and is emptied otherwise.
  int SendSMS(const char* number, const char* message, std::string* refusal = nullptr);
  // The submissions leave the refusal, if any, in refusal.
  int SubmitPdu7Bit(const char* number, const char* message, int& reference, std::string& refusal);
  int SubmitPduUcs2(const char* number, const char* message, int& reference, std::string& refusal);
  int SubmitPduUcs2Multipart(const char* number, const char* message, int& reference,
                             std::string& refusal);
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
  // number and message as UTF-16; converted with code page 1251. reference
  // and refusal as from SendSMS.
  int SendSMSWide(const char16_t* number, const char16_t* message, int& reference,
                  std::string* refusal = nullptr);
  void ReleaseModemDevice();
};
