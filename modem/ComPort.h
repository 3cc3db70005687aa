#pragma once
// One serial (COM) port: open by number, read what has arrived without
// waiting, write whole or in paced pieces, and the two reply waits of the AT
// dialogue. Every byte in and out is written to the "modem" log.
// One object is used by one thread at a time.
#include <cstdint>
#include <string>

#include "platform/SerialDevice.h"

class CComPort {
 public:
  // The pause after each piece of a paced write, right for old phones that
  // lose bytes coming faster; the window always uses it.
  static constexpr uint32_t kDefaultPiecePauseMs = 200;

  CComPort() = default;
  // Does not close: the owner always calls Close (or ReleaseModemDevice).
  ~CComPort() = default;
  CComPort(const CComPort&) = delete;
  CComPort& operator=(const CComPort&) = delete;

  void SetBaudRate(int baudRate);  // for the next Open; 0 keeps the device's speed
  // The pause between two pieces of a paced write, in ms; 0 makes every
  // write a single one, whatever its piece size.
  void SetPiecePause(uint32_t milliseconds) { m_piecePause = milliseconds; }
  // Non-zero on success. Port 0 "opens" without a device: reads give 0 bytes,
  // writes write nothing. A failed open leaves port number and open flag as
  // they were.
  int Open(int port);
  int Close();  // always non-zero
  // Why the last Open failed, in the system's words (UTF-8; see
  // platform::SerialDevice::FailureReason); empty after one that succeeded.
  const std::string& FailureReason() const { return m_handle.FailureReason(); }

  int ReadRaw(char* buffer, int capacity);
  int WriteRaw(const char* data, int length);
  // piece 0 (or a piece pause of 0) writes all at once; otherwise pieces of
  // that size with the piece pause between two pieces. Gives the bytes
  // written.
  int WriteChunked(const char* data, int length, int piece);
  // Reads what has arrived, drops its zero bytes (line noise) and logs the
  // rest as "IN"; gives the bytes kept.
  int Receive(char* buffer, int capacity);
  int Transmit(const char* data, int length, int piece);  // logs "OUT" first

  // The waits read into buffer, which ends up holding what was received
  // (zero bytes dropped) as a terminated text; they judge it by lines (see
  // modem/Reply.h). A full buffer reads nothing more: the wait runs out.
  //
  // 1 when a line begins with word followed by a blank or a line end (">":
  // the SMS prompt); 0 at once when ERROR, +CMS ERROR or +CME ERROR ends the
  // command, or once silenceMs pass without any byte arriving.
  int WaitFor(char* buffer, int size, const char* word, uint32_t silenceMs);
  // The byte count when a line "OK" arrives within limitMs of the start; 0 at
  // once on ERROR, +CMS ERROR or +CME ERROR, on stopText (when given), or at
  // the limit.
  int WaitForOk(char* buffer, int size, uint32_t limitMs, const char* stopText);

  int PortNumber() const { return m_port; }
  int IsOpen() const { return m_open; }
  platform::SerialDevice::State HandleState() const { return m_handle.GetState(); }

 private:
  int ConfigureLine();
  int ResetLine();
  int ReceiveAt(char* buffer, int size, int& total);

  int m_port = 0;
  platform::SerialDevice m_handle;
  platform::SerialTimeouts m_timeouts;
  int m_open = 0;
  int m_baudRate = 0;
  uint32_t m_piecePause = kDefaultPiecePauseMs;
};
