#pragma once
// One serial (COM) port: open by number, read what has arrived without
// waiting, write whole or in paced pieces, and the wait for the answer to a
// command, read by lines. Every byte in and out is written to the "modem"
// log. One object is used by one thread at a time.
#include <cstdint>
#include <functional>
#include <string>

#include "modem/AnswerReader.h"
#include "modem/ReplyLines.h"
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
  int BaudRate() const { return m_baudRate; }
  // The pause between two pieces of a paced write, in ms; 0 makes every
  // write a single one, whatever its piece size.
  void SetPiecePause(uint32_t milliseconds) { m_piecePause = milliseconds; }
  // Non-zero on success. Port 0 "opens" without a device: reads give 0 bytes,
  // writes write nothing. A failed open leaves port number and open flag as
  // they were.
  int Open(int port);
  int Close();  // always non-zero
  // Why the port or the modem on it failed last, for the operator (UTF-8):
  // the system's reason for a failed Open (platform::SerialDevice), the
  // device gone, or what the modem layer found (SetFailureReason). Empty
  // after an Open that succeeded, until the next failure.
  const std::string& FailureReason() const { return m_failure; }
  void SetFailureReason(const std::string& reason) { m_failure = reason; }

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

  enum class WaitEnd {
    Answered,  // the answer ended: a final result code, or the prompt when asked for
    Limit,     // the limit passed first
    Lost,      // the device has gone (FailureReason says how)
  };
  // Reads the answer to the command in hand into reader, line by line,
  // until it has ended, limitMs pass (from the start; with silenceLimit from
  // the last byte that arrived), or the device is lost. At the limit it
  // reads once more before it gives up: a process that slept through the
  // limit (suspended, a PC asleep) finds what arrived meanwhile. Lines that
  // come after the answer stay for the next wait.
  WaitEnd Await(reply::CAnswerReader& reader, uint32_t limitMs, bool silenceLimit = false);
  // True when bytes that no modem sends arrived during the last Await:
  // control or 8-bit bytes, as a modem at another speed gives.
  bool HeardGarbage() const { return m_heardGarbage; }
  // Takes everything that has arrived off the line and forgets the lines
  // not yet read (all of it still logged).
  void DiscardInput();
  // Waits at most milliseconds until input can be read, reading nothing;
  // true when some waits.
  bool WaitForInput(uint32_t milliseconds) { return m_handle.WaitForInput(milliseconds); }
  bool IsDeviceLost() const { return m_handle.IsLost(); }
  // Receives every unsolicited line the waits meet (a report or a message
  // shown at once with its PDU, a notice of one stored), on the waiting
  // thread; none: they are only logged.
  using UnsolicitedListener = std::function<void(const reply::Unsolicited&)>;
  void SetUnsolicitedListener(UnsolicitedListener listener) { m_listener = std::move(listener); }
  const UnsolicitedListener& Listener() const { return m_listener; }

  int PortNumber() const { return m_port; }
  int IsOpen() const { return m_open; }
  platform::SerialDevice::State HandleState() const { return m_handle.GetState(); }

 private:
  int ConfigureLine();
  int ResetLine();
  // One read into the lines, which go into reader while its answer runs;
  // false when nothing came.
  bool Pump(reply::CAnswerReader& reader);

  int m_port = 0;
  platform::SerialDevice m_handle;
  platform::SerialTimeouts m_timeouts;
  int m_open = 0;
  int m_baudRate = 0;
  uint32_t m_piecePause = kDefaultPiecePauseMs;
  std::string m_failure;
  reply::CLineSplitter m_lines;
  UnsolicitedListener m_listener;
  bool m_heardGarbage = false;
};
