#pragma once
// The modem protocol on a serial port: readiness check, SMS submission in PDU
// mode (or text mode where a modem takes nothing else), discovery and
// capture.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "modem/ComPort.h"
#include "modem/SendResult.h"

class CModem : public CComPort {
 public:
  // How the modem takes messages: the mode the capture confirmed. Nothing is
  // submitted in a mode the modem has not confirmed.
  enum class MessageMode { None, Pdu, Text };

  // The longest wait for the network's confirmation of a submission: vendors
  // give AT+CMGS up to 120 s on a congested network. A refusal ends it at once.
  static constexpr uint32_t kDefaultConfirmLimitMs = 120000;
  void SetConfirmLimit(uint32_t milliseconds) { m_confirmLimitMs = milliseconds; }

  // 1 when the modem answered "at" with OK and confirmed PDU mode, or text
  // mode where it refuses PDU mode. On 0, FailureReason says why.
  int InitModem();
  MessageMode Mode() const { return m_mode; }
  // The message reference the modem reported for the (last) part
  // (pdu::kReportedZero for a reported 0); 0 = not sent. result, when given,
  // receives the outcome with its cause.
  int SendSMS(const char* number, const char* message, CSendResult* result = nullptr);
  // The PDU submissions add each confirmed part's reference to result and
  // set its outcome and cause; 1 when every part was confirmed.
  int SubmitPdu7Bit(const char* number, const char* message, CSendResult& result);
  int SubmitPduUcs2(const char* number, const char* message, CSendResult& result);
  int SubmitPduUcs2Multipart(const char* number, const char* message, CSendResult& result);
  // A single-part message in text mode (a modem that refuses PDU mode).
  int SubmitText(const char* number, const char* message, CSendResult& result);
  // Removes from text every character that is not in set.
  static void KeepChars(char* text, const char* set);

  // Sends command (without its CR) and reads its answer by rule (the echo is
  // filled in) for at most limitMs.
  reply::Answer Command(const std::string& command, reply::AnswerRule rule, uint32_t limitMs);

  // COM numbers of the serial ports the system reports, in its order.
  static std::vector<int> ListComPorts();
  // The first port on which a modem answered, 0 if none; also the result.
  // beforePort, when given, runs before each port is tried, with its number
  // (a window searching on its own thread repaints there).
  int FindPort(int& port, const std::function<void(int)>& beforePort = nullptr);
  // ready = 1 when the port is open and the modem confirmed a message mode.
  int CaptureModemDevice(int& ready, int port);
  // number and message as UTF-16; converted with code page 1251. reference
  // and result as from SendSMS.
  int SendSMSWide(const char16_t* number, const char16_t* message, int& reference,
                  CSendResult* result = nullptr);
  void ReleaseModemDevice();

 private:
  int ChooseMode();
  // Sets AT+CMGF=mode and reads it back; true when the modem is in it.
  bool SwitchMode(int mode);
  int SubmitByMode(const std::string& phone, const std::string& text, CSendResult& result);
  bool RestoreServiceCentre();

  MessageMode m_mode = MessageMode::None;
  uint32_t m_confirmLimitMs = kDefaultConfirmLimitMs;
};
