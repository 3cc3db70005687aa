#include "modem/ComPort.h"

#include <cstring>

#include "modem/Log.h"
#include "modem/Reply.h"
#include "platform/Clock.h"

namespace {

constexpr uint32_t kQueueBytes = 2048;
constexpr uint32_t kResetPauseMs = 10;
// What one read takes off the line at most; more simply waits for the next.
constexpr int kReadChunk = 4096;

// Reads return at once with whatever has arrived; a write of n bytes may take
// up to 1000 + 1000 n ms.
constexpr platform::SerialTimeouts kTimeouts = {0xFFFFFFFFu, 0, 0, 1000, 1000};

// A modem's replies are printable ASCII with CR and LF; the echo adds Ctrl-Z
// and ESC of text input. Anything else is the line garbled.
bool HasGarbage(const char* data, int length) {
  for (int i = 0; i < length; ++i) {
    const auto c = static_cast<unsigned char>(data[i]);
    const bool plain = (c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n' || c == '\t' ||
                       c == 0x1A || c == 0x1B;
    if (!plain) return true;
  }
  return false;
}

}  // namespace

void CComPort::SetBaudRate(int baudRate) { m_baudRate = baudRate; }

int CComPort::Open(int port) {
  m_lines.Clear();
  if (port == 0) {
    m_open = 1;
    m_port = 0;
    m_failure.clear();
    return 1;
  }
  const bool opened = m_handle.Open(port);
  m_failure = m_handle.FailureReason();
  if (!opened) return 0;
  m_open = 1;
  m_handle.SetupQueues(kQueueBytes, kQueueBytes);
  m_timeouts = kTimeouts;
  m_handle.SetTimeouts(m_timeouts);
  if (ConfigureLine()) {
    m_handle.Purge();
    m_port = port;
    return 1;
  }
  m_failure = m_handle.FailureReason();
  ResetLine();
  m_handle.Close();
  return 0;
}

int CComPort::ConfigureLine() { return m_handle.ApplySpeed(m_baudRate) ? 1 : 0; }

int CComPort::ResetLine() {
  m_port = 0;
  m_open = 0;
  if (m_handle.GetState() != platform::SerialDevice::State::Valid) return 0;
  platform::SleepMs(kResetPauseMs);
  m_handle.Purge();
  m_handle.ClearEventMask();
  m_handle.Purge();
  return 1;
}

int CComPort::Close() {
  if (m_port != 0) {
    // A report shown on the line since the last read reaches the listener
    // before the line is cleared.
    if (m_listener) DiscardInput();
    ResetLine();
    m_handle.Close();
  } else {
    m_open = 0;
  }
  return 1;
}

int CComPort::ReadRaw(char* buffer, int capacity) {
  if (capacity <= 0 || m_handle.GetState() != platform::SerialDevice::State::Valid) return 0;
  return static_cast<int>(m_handle.Read(buffer, static_cast<uint32_t>(capacity)));
}

int CComPort::WriteRaw(const char* data, int length) {
  if (length <= 0 || m_handle.GetState() != platform::SerialDevice::State::Valid) return 0;
  return static_cast<int>(m_handle.Write(data, static_cast<uint32_t>(length)));
}

// The pause paces the modem between pieces; after the last one the caller
// waits for the reply at once, so that a quick answer is read when it comes.
int CComPort::WriteChunked(const char* data, int length, int piece) {
  if (piece == 0 || m_piecePause == 0) return WriteRaw(data, length);
  int written = 0;
  while (written < length) {
    if (written > 0) platform::SleepMs(m_piecePause);
    int count = length - written < piece ? length - written : piece;
    int n = WriteRaw(data + written, count);
    if (n == 0) break;
    written += n;
  }
  return written;
}

// Zero bytes are line noise (power-up garbage): they are dropped from the
// chunk, so that they hide neither a reply from the waits nor text from the log.
int CComPort::Receive(char* buffer, int capacity) {
  int n = reply::DropZeroBytes(buffer, ReadRaw(buffer, capacity));
  if (n > 0) {
    GetLog().Write("modem", "IN", m_port, std::string(buffer, static_cast<size_t>(n)).c_str());
  }
  return n;
}

int CComPort::Transmit(const char* data, int length, int piece) {
  std::string text(data, strnlen(data, static_cast<size_t>(length)));
  GetLog().Write("modem", "OUT", m_port, text.c_str());
  return WriteChunked(data, length, piece);
}

bool CComPort::Pump(reply::CAnswerReader& reader) {
  char chunk[kReadChunk];
  const int n = Receive(chunk, kReadChunk);
  if (n > 0) {
    m_heardGarbage = m_heardGarbage || HasGarbage(chunk, n);
    m_lines.Feed(chunk, static_cast<size_t>(n));
  }
  std::string line;
  while (!reader.Result().Ended() && m_lines.Next(line)) reader.TakeLine(line);
  reader.TakeUnfinished(m_lines.Unfinished());
  for (const reply::Unsolicited& unsolicited : reader.TakeUnsolicited()) {
    if (m_listener) m_listener(unsolicited);
  }
  return n > 0;
}

CComPort::WaitEnd CComPort::Await(reply::CAnswerReader& reader, uint32_t limitMs,
                                  bool silenceLimit) {
  m_heardGarbage = false;
  uint32_t start = platform::TickMs();
  for (;;) {
    const bool got = Pump(reader);
    if (reader.Result().Ended()) return WaitEnd::Answered;
    if (IsDeviceLost()) {
      m_failure = "the device is gone: " + m_handle.FailureReason();
      return WaitEnd::Lost;
    }
    if (got && silenceLimit) start = platform::TickMs();
    const uint32_t waited = platform::TickMs() - start;
    if (waited >= limitMs) {
      Pump(reader);  // the last read
      return reader.Result().Ended() ? WaitEnd::Answered : WaitEnd::Limit;
    }
    // Input ends the wait at once: a silent line sleeps in the system up to
    // the limit. Every wake-up costs a read and a look at the device (under
    // Wine, calls of its server): woken every 50 ms, listening took 0.12 %
    // of a core natively, 0.25 to 0.3 % under Wine and 0.15 % in its server.
    if (!got) m_handle.WaitForInput(platform::RealMsOfTicks(limitMs - waited));
  }
}

void CComPort::DiscardInput() {
  char chunk[kReadChunk];
  int n = 0;
  while ((n = Receive(chunk, kReadChunk)) > 0) m_lines.Feed(chunk, static_cast<size_t>(n));
  // Answers nobody waits for any more are dropped; a report shown at once
  // among them still reaches the listener.
  reply::CAnswerReader reader({});
  std::string line;
  while (m_lines.Next(line)) {
    if (reader.Result().Ended()) reader = reply::CAnswerReader({});
    reader.TakeLine(line);
    for (const reply::Unsolicited& unsolicited : reader.TakeUnsolicited()) {
      if (m_listener) m_listener(unsolicited);
    }
  }
  m_lines.Clear();
}
