#pragma once
// A serial device opened by its COM number. One object is used by one thread.
//
// Both backends give the same contract:
// - Open is exclusive: while one object holds a device, opening it again (from
//   this or another process) fails.
// - Read returns at once with whatever has arrived, possibly 0 bytes; 0 also on
//   error. Write is bounded by the write time-outs (constant + multiplier *
//   length ms; both 0 means no limit); it gives the count written.
// - SetupQueues and ClearEventMask act on Windows only; the POSIX tty driver
//   has fixed buffers and nothing here waits on line events.
// - ApplySpeed reads the line settings and changes only the speed (0 keeps the
//   device's speed); an unknown or refused speed gives false.
// - A failed Open or ApplySpeed says why in FailureReason, so that a tool can
//   tell the operator what the system found wrong with the device.
#include <cstdint>
#include <string>

namespace platform {

struct SerialTimeouts {
  uint32_t readInterval = 0;
  uint32_t readTotalMultiplier = 0;
  uint32_t readTotalConstant = 0;
  uint32_t writeTotalMultiplier = 0;
  uint32_t writeTotalConstant = 0;
};

class SerialDevice {
 public:
  // Null: nothing opened yet or closed; Failed: the last Open failed (the
  // platform's invalid handle); Valid: an open device.
  enum class State { Null, Failed, Valid };

  SerialDevice() = default;
  ~SerialDevice();
  SerialDevice(const SerialDevice&) = delete;
  SerialDevice& operator=(const SerialDevice&) = delete;

  bool Open(int comNumber);
  void Close();  // closes a Valid device; a Failed state stays until the next Open
  State GetState() const { return m_state; }
  // Why the last Open or ApplySpeed failed, in words (UTF-8): the system's own
  // text (strerror, FormatMessage), or ours where that would mislead: a COM
  // number that names no device, a device held by another program, a file
  // that is not a serial device, a speed the system does not know. Empty
  // after an Open or ApplySpeed that succeeded; Close keeps it.
  const std::string& FailureReason() const { return m_failure; }
  // True once a read, write or wait found that the device has gone away
  // (unplugged, a modem rebooting); FailureReason says how. The next Open
  // clears it.
  bool IsLost() const { return m_lost; }

  void SetupQueues(uint32_t inputBytes, uint32_t outputBytes);
  void SetTimeouts(const SerialTimeouts& timeouts);
  bool ApplySpeed(int baudRate);
  void Purge();  // aborts pending reads and writes, clears both buffers
  void ClearEventMask();

  uint32_t Read(void* buffer, uint32_t capacity);
  // Waits until input arrives, at most milliseconds. POSIX polls the device;
  // Windows has no such wait for a plain (not overlapped) handle and sleeps
  // 1 ms instead. Without an open device it sleeps 1 ms.
  void WaitForInput(uint32_t milliseconds);
  uint32_t Write(const void* data, uint32_t length);

 private:
  State m_state = State::Null;
  intptr_t m_handle = -1;  // HANDLE or file descriptor, meaningful while Valid
  SerialTimeouts m_timeouts;
  std::string m_failure;
  bool m_lost = false;
};

// The device path that a COM number opens: "\\.\COMn" on Windows; on POSIX
// COM1-32 are /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31, COM65-96 /dev/ttyACM0-31,
// anything else gives "". A mapped number (MapComPort) gives its mapped path.
std::string ComDevicePath(int comNumber);

// How COM numbers name devices here, in words for a help text.
std::string ComNumbering();

// Maps one COM number to any device path for this process (a pty in tests, a
// --device of the command-line tool). An empty path removes the mapping.
void MapComPort(int comNumber, const std::string& devicePath);

}  // namespace platform
