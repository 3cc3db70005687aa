#include "modem/ComPort.h"

#include <cstring>

#include "modem/Log.h"
#include "modem/Reply.h"
#include "platform/Clock.h"

namespace {

constexpr uint32_t kQueueBytes = 2048;
constexpr uint32_t kResetPauseMs = 10;
// After a read that brought nothing the waits wait this long for input (or
// sleep about 1 ms where the device cannot be waited for), so that a wait of
// 30 s does not hold a processor core for 30 s. Input ends the wait at once,
// so a longer one delays no reply; it only lets a limit run over by as much.
// At 10 ms, eight modems of a pool waiting at once took 1.5 % of a core.
constexpr uint32_t kIdleWaitMs = 50;

// Reads return at once with whatever has arrived; a write of n bytes may take
// up to 1000 + 1000 n ms.
constexpr platform::SerialTimeouts kTimeouts = {0xFFFFFFFFu, 0, 0, 1000, 1000};

}  // namespace

void CComPort::SetBaudRate(int baudRate) { m_baudRate = baudRate; }

int CComPort::Open(int port) {
  if (port == 0) {
    m_open = 1;
    m_port = 0;
    return 1;
  }
  if (!m_handle.Open(port)) return 0;
  m_open = 1;
  m_handle.SetupQueues(kQueueBytes, kQueueBytes);
  m_timeouts = kTimeouts;
  m_handle.SetTimeouts(m_timeouts);
  if (ConfigureLine()) {
    m_handle.Purge();
    m_port = port;
    return 1;
  }
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

// One read into the free part of the buffer, always leaving a byte for the
// terminating zero; waits briefly when nothing came. A full buffer reads
// nothing more and sleeps: waiting for input would return at once while
// input is pending, and spin.
int CComPort::ReceiveAt(char* buffer, int size, int& total) {
  if (size - total - 1 <= 0) {
    platform::SleepMs(kIdleWaitMs);
    return 0;
  }
  int n = Receive(buffer + total, size - total - 1);
  if (n <= 0) {
    m_handle.WaitForInput(kIdleWaitMs);
    return 0;
  }
  total += n;
  buffer[total] = 0;
  return n;
}

int CComPort::WaitFor(char* buffer, int size, const char* word, uint32_t silenceMs) {
  std::memset(buffer, 0, static_cast<size_t>(size));
  int total = 0;
  uint32_t start = platform::TickMs();
  while (platform::TickMs() - start < silenceMs) {
    if (ReceiveAt(buffer, size, total) == 0) continue;
    if (reply::HasLineWord(buffer, total, word)) return 1;
    if (reply::IsFailure(reply::ReadFinalResult(buffer, total))) return 0;
    start = platform::TickMs();
  }
  return 0;
}

int CComPort::WaitForOk(char* buffer, int size, uint32_t limitMs, const char* stopText) {
  std::memset(buffer, 0, static_cast<size_t>(size));
  int total = 0;
  uint32_t start = platform::TickMs();
  while (platform::TickMs() - start < limitMs) {
    if (ReceiveAt(buffer, size, total) == 0) continue;
    reply::FinalResult result = reply::ReadFinalResult(buffer, total);
    if (result.kind == reply::Final::Ok) return total;
    if (reply::IsFailure(result)) return 0;
    if (stopText != nullptr && reply::Contains(buffer, total, stopText)) return 0;
  }
  return 0;
}
