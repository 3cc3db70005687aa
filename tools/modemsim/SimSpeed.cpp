#include "tools/modemsim/SimSpeed.h"

#include <iterator>

namespace modemsim {

namespace {

struct BaudRate {
  int baud;
  speed_t speed;
};

// The rates GSM modems are set to.
constexpr BaudRate kBaudRates[] = {
    {1200, B1200},   {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},
    {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800},
};

// What a UART makes of bytes sent at another rate: mostly break-like zeros,
// runs of ones and high bytes.
constexpr unsigned char kGarbageBytes[] = {0x00, 0x80, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE, 0xFF,
                                           0x86, 0x9E, 0x1E, 0x06, 0x78, 0x98, 0xE6, 0x66};

}  // namespace

int BaudOf(speed_t speed) {
  for (const BaudRate& rate : kBaudRates) {
    if (rate.speed == speed) return rate.baud;
  }
  return 0;
}

bool IsKnownBaud(int baud) {
  for (const BaudRate& rate : kBaudRates) {
    if (rate.baud == baud) return true;
  }
  return false;
}

std::string CSimSpeed::Garbage(size_t length) {
  std::string garbage;
  std::uniform_int_distribution<size_t> pick(0, std::size(kGarbageBytes) - 1);
  for (size_t i = 0; i < length; ++i) garbage += static_cast<char>(kGarbageBytes[pick(m_random)]);
  return garbage;
}

}  // namespace modemsim
