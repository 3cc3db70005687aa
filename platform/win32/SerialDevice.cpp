#include "platform/SerialDevice.h"

#include <windows.h>

#include <cstdio>

#include "platform/common/ComPortMap.h"
#include "platform/win32/SystemMessage.h"
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

void SerialDevice::SetTimeouts(const SerialTimeouts& timeouts) {
  m_timeouts = timeouts;
  if (m_state != State::Valid) return;
  COMMTIMEOUTS record;
  record.ReadIntervalTimeout = timeouts.readInterval;
  record.ReadTotalTimeoutMultiplier = timeouts.readTotalMultiplier;
  record.ReadTotalTimeoutConstant = timeouts.readTotalConstant;
  record.WriteTotalTimeoutMultiplier = timeouts.writeTotalMultiplier;
  record.WriteTotalTimeoutConstant = timeouts.writeTotalConstant;
  SetCommTimeouts(AsHandle(m_handle), &record);
}

// The result of GetCommState is not tested: SetCommState judges the record.
bool SerialDevice::ApplySpeed(int baudRate) {
  if (m_state != State::Valid) return false;
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

void SerialDevice::Purge() {
  if (m_state == State::Valid) PurgeComm(AsHandle(m_handle), kPurgeAll);
}

void SerialDevice::WaitForInput(uint32_t) { Sleep(1); }

void SerialDevice::ClearEventMask() {
  if (m_state == State::Valid) SetCommMask(AsHandle(m_handle), 0);
}

uint32_t SerialDevice::Read(void* buffer, uint32_t capacity) {
  if (m_state != State::Valid) return 0;
  DWORD got = 0;
  if (!::ReadFile(AsHandle(m_handle), buffer, capacity, &got, nullptr)) return 0;
  return got;
}

uint32_t SerialDevice::Write(const void* data, uint32_t length) {
  if (m_state != State::Valid) return 0;
  DWORD written = 0;
  if (!WriteFile(AsHandle(m_handle), data, length, &written, nullptr)) return 0;
  return written;
}

}  // namespace platform
