#pragma once
// A serial device opened by its COM number. One object is used by one thread.
//
// Both backends give the same contract:
// - Open is exclusive: while one object holds a device, opening it again (from
//   this or another process) fails.
// - Read returns at once with whatever has arrived, possibly 0 bytes; 0 also on
//   error. Write is bounded by the write time-outs (constant + multiplier *
//   length ms; both 0 means no limit, as before any SetTimeouts); it gives
//   the count written. The read time-outs are not used: no read waits.
// - WaitForInput waits in the system, costing no processor time while the
//   line is silent, and ends as soon as a byte arrives.
// - A device that has gone away (an unplugged USB modem, a pty whose far end
//   closed) is noticed by the read, write or wait that meets it: IsLost then
//   holds until the next Open, and FailureReason names the loss. A stick
//   that comes back behind the same name is used again by a new Open.
// - SetupQueues and ClearEventMask act on Windows only; the POSIX tty driver
//   has fixed buffers and nothing here waits on line events.
// - ApplySpeed reads the line settings and changes only the speed (0 keeps the
//   device's speed); an unknown or refused speed gives false.
// - A failed Open or ApplySpeed says why in FailureReason, so that a tool can
//   tell the operator what the system found wrong with the device.
#include <cstdint>
#include <string>

namespace platform {

// Milliseconds, as the Windows record has them; only the write limits act.
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
  // Why the last Open or ApplySpeed failed, or how the device was lost, in
  // words (UTF-8): the system's own text (strerror, FormatMessage), or ours
  // where that would mislead: a COM number that names no device, a device
  // held by another program, a file that is not a serial device, a speed the
  // system does not know, a hang-up that gives no error. Empty after an Open
  // or ApplySpeed that succeeded; Close keeps it.
  const std::string& FailureReason() const { return m_failure; }
  // True once a read, write or wait of the open device met an error that
  // means the device has gone away (unplugged, a modem rebooting); reads and
  // writes then move nothing. Close keeps it; the next Open clears it.
  bool IsLost() const { return m_lost; }

  void SetupQueues(uint32_t inputBytes, uint32_t outputBytes);
  void SetTimeouts(const SerialTimeouts& timeouts);
  bool ApplySpeed(int baudRate);
  void Purge();  // aborts pending reads and writes, clears both buffers
  void ClearEventMask();

  uint32_t Read(void* buffer, uint32_t capacity);
  // Waits at most milliseconds for input; true as soon as input waits to be
  // read (at once when some waits already), false when the time passed.
  // A loss found meanwhile ends the wait at once (false, IsLost). On a device
  // already lost, or without an open device (then 1 ms), the time passes as
  // a sleep, so that a caller that does not look at IsLost does not spin.
  // Windows waits with a read that blocks for the first byte and keeps that
  // byte for the next Read.
  bool WaitForInput(uint32_t milliseconds);
  uint32_t Write(const void* data, uint32_t length);

 private:
  void MarkLost(const std::string& systemText);

  State m_state = State::Null;
  intptr_t m_handle = -1;  // HANDLE or file descriptor, meaningful while Valid
  SerialTimeouts m_timeouts;
  std::string m_failure;
  bool m_lost = false;
  int m_readAhead = -1;  // Windows: the byte a wait read (0-255), -1 for none
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
