#include "platform/SerialDevice.h"

#include <windows.h>

#include <cstdio>

#include "platform/common/ComPortMap.h"
#include "platform/win32/WidePath.h"

namespace platform {
namespace {

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// Abort pending writes and reads, clear the output and input buffers.
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
static_assert(kPurgeAll == 0x0F, "PurgeComm flags");

// Windows refuses a port that another program holds with "Access is
// denied", which sounds like a matter of rights.
std::string OpenFailure(DWORD code) {
  const std::string message = SystemMessage(code);
  return code == ERROR_ACCESS_DENIED ? "in use by another program (" + message + ")" : message;
}

// A wait blocks in pieces of at most this long, asking between two pieces
// whether the device is still there: a loss that the read does not report
// is noticed within one piece. Wine's blocking read on a pty whose far end
// closed spins until its time runs out: the piece bounds that too. Each
// piece costs a read and a request (under Wine, calls of its server): at
// 100 ms they were most of what a silent line cost there.
constexpr uint32_t kWaitPieceMs = 500;

// "" while the device answers a request for its line state, else the
// system's words for why it does not: the device has gone. A failed read or
// write alone does not say so: a line error (framing, overrun) fails them on
// a line set to abort on errors until this very request clears it. Wine's
// reads of a pty whose far end closed succeed with 0 bytes; this request
// fails there, as it does on Windows for an unplugged adapter.
std::string LossOf(HANDLE device) {
  DWORD errors = 0;
  COMSTAT status;
  if (ClearCommError(device, &errors, &status)) return std::string();
  const DWORD error = GetLastError();
  return SystemMessage(error != 0 ? error : ERROR_GEN_FAILURE);
}

// Reads that return at once with what has arrived (both read limits 0,
// the interval MAXDWORD), and the caller's write limits.
COMMTIMEOUTS Record(const SerialTimeouts& timeouts) {
  COMMTIMEOUTS record;
  record.ReadIntervalTimeout = MAXDWORD;
  record.ReadTotalTimeoutMultiplier = 0;
  record.ReadTotalTimeoutConstant = 0;
  record.WriteTotalTimeoutMultiplier = timeouts.writeTotalMultiplier;
  record.WriteTotalTimeoutConstant = timeouts.writeTotalConstant;
  return record;
}

// Reads of one byte that wait up to a piece of a wait (1 to MAXDWORD - 1 ms)
// for it: with both read limits at MAXDWORD, a read returns as soon as one
// byte is there. The limits are set for the first piece and again only
// when a piece is of another length: every change is a call of the driver
// (under Wine, of its server), and a wait is many pieces of one length.
// The record in force before (Record(timeouts)) is restored at the end.
class CFirstByteReads {
 public:
  CFirstByteReads(HANDLE device, const SerialTimeouts& timeouts)
      : m_device(device), m_own(Record(timeouts)) {}
  ~CFirstByteReads() {
    if (m_pieceMs != 0) SetCommTimeouts(m_device, &m_own);
  }
  CFirstByteReads(const CFirstByteReads&) = delete;
  CFirstByteReads& operator=(const CFirstByteReads&) = delete;

  // The byte, or -1 when nothing came in time or the read failed. A driver
  // that refuses the limits gets a plain sleep.
  int Read(DWORD pieceMs) {
    if (pieceMs != m_pieceMs) {
      COMMTIMEOUTS waiting = m_own;
      waiting.ReadIntervalTimeout = MAXDWORD;
      waiting.ReadTotalTimeoutMultiplier = MAXDWORD;
      waiting.ReadTotalTimeoutConstant = pieceMs;
      if (!SetCommTimeouts(m_device, &waiting)) {
        Sleep(pieceMs);
        return -1;
      }
      m_pieceMs = pieceMs;
    }
    unsigned char byte = 0;
    DWORD got = 0;
    return ::ReadFile(m_device, &byte, 1, &got, nullptr) && got == 1 ? byte : -1;
  }

 private:
  HANDLE m_device;
  COMMTIMEOUTS m_own;
  DWORD m_pieceMs = 0;  // the read limit in force; 0: the record of m_own
};

}  // namespace

std::string ComDevicePath(int comNumber) {
  std::string mapped = backend::MappedComPath(comNumber);
  if (!mapped.empty()) return mapped;
  char name[32];
  std::snprintf(name, sizeof name, "\\\\.\\COM%i", comNumber);
  return name;
}

std::string ComNumbering() { return "COMn is the device \\\\.\\COMn"; }

SerialDevice::~SerialDevice() { Close(); }

// Not shared, existing devices only, plain (not overlapped) input and output.
bool SerialDevice::Open(int comNumber) {
  Close();
  HANDLE device = CreateFileW(WidePath(ComDevicePath(comNumber)).c_str(),
                              GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  m_failure = device == INVALID_HANDLE_VALUE ? OpenFailure(GetLastError()) : std::string();
  m_handle = reinterpret_cast<intptr_t>(device);
  m_state = device == INVALID_HANDLE_VALUE ? State::Failed : State::Valid;
  m_lost = false;
  m_readAhead = -1;
  if (m_state == State::Valid) SetTimeouts(m_timeouts);  // reads that never wait
  return m_state == State::Valid;
}

void SerialDevice::Close() {
  if (m_state != State::Valid) return;
  CloseHandle(AsHandle(m_handle));
  m_handle = -1;
  m_state = State::Null;
}

void SerialDevice::SetupQueues(uint32_t inputBytes, uint32_t outputBytes) {
  if (m_state == State::Valid) SetupComm(AsHandle(m_handle), inputBytes, outputBytes);
}

// The read limits are not the caller's: Read never waits.
void SerialDevice::SetTimeouts(const SerialTimeouts& timeouts) {
  m_timeouts = timeouts;
  if (m_state != State::Valid) return;
  COMMTIMEOUTS record = Record(timeouts);
  SetCommTimeouts(AsHandle(m_handle), &record);
}

// The result of GetCommState is not tested: SetCommState judges the record.
bool SerialDevice::ApplySpeed(int baudRate) {
  if (m_state != State::Valid || m_lost) return false;  // the loss stays the reason
  if (baudRate < 0) {
    m_failure = "the speed " + std::to_string(baudRate) + " bit/s is not supported";
    return false;
  }
  DCB settings;
  ZeroMemory(&settings, sizeof settings);
  settings.DCBlength = sizeof settings;
  GetCommState(AsHandle(m_handle), &settings);
  if (baudRate != 0) settings.BaudRate = static_cast<DWORD>(baudRate);
  const bool applied = SetCommState(AsHandle(m_handle), &settings) != 0;
  m_failure = applied ? std::string() : SystemMessage(GetLastError());
  return applied;
}

// The byte a wait read ahead is input not yet read: it goes as well.
void SerialDevice::Purge() {
  if (m_state != State::Valid) return;
  m_readAhead = -1;
  PurgeComm(AsHandle(m_handle), kPurgeAll);
}

bool SerialDevice::WaitForInput(uint32_t milliseconds) {
  if (m_state != State::Valid || m_lost) {
    Sleep(m_state == State::Valid ? milliseconds : 1);
    return false;
  }
  if (m_readAhead >= 0) return true;
  HANDLE device = AsHandle(m_handle);
  CFirstByteReads reads(device, m_timeouts);
  const DWORD start = GetTickCount();
  DWORD waited = 0;
  for (;;) {
    const DWORD left = milliseconds - waited;
    const DWORD piece = left < kWaitPieceMs ? left : kWaitPieceMs;
    m_readAhead = reads.Read(piece == 0 ? 1 : piece);
    if (m_readAhead >= 0) return true;
    const std::string loss = LossOf(device);
    if (!loss.empty()) {
      MarkLost(loss);
      return false;
    }
    // The read's own limit ended the last piece: the tick, coarser on
    // Windows, is not asked.
    if (piece == left) return false;
    waited = GetTickCount() - start;
    if (waited >= milliseconds) return false;
  }
}

void SerialDevice::ClearEventMask() {
  if (m_state == State::Valid) SetCommMask(AsHandle(m_handle), 0);
}

// The byte a wait read ahead comes first.
uint32_t SerialDevice::Read(void* buffer, uint32_t capacity) {
  if (m_state != State::Valid || capacity == 0) return 0;
  unsigned char* bytes = static_cast<unsigned char*>(buffer);
  uint32_t taken = 0;
  if (m_readAhead >= 0) {
    bytes[taken++] = static_cast<unsigned char>(m_readAhead);
    m_readAhead = -1;
  }
  if (m_lost || taken == capacity) return taken;
  DWORD got = 0;
  if (!::ReadFile(AsHandle(m_handle), bytes + taken, capacity - taken, &got, nullptr)) got = 0;
  if (taken + got == 0) {
    const std::string loss = LossOf(AsHandle(m_handle));
    if (!loss.empty()) MarkLost(loss);
  }
  return taken + got;
}

uint32_t SerialDevice::Write(const void* data, uint32_t length) {
  if (m_state != State::Valid || m_lost) return 0;
  DWORD written = 0;
  if (WriteFile(AsHandle(m_handle), data, length, &written, nullptr)) return written;
  const std::string loss = LossOf(AsHandle(m_handle));
  if (!loss.empty()) MarkLost(loss);
  return 0;
}

}  // namespace platform
