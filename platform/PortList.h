#pragma once
// The serial ports that the system reports.
#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// The port names in the system's order. Windows: the data of each value of
// HKLM\Hardware\DeviceMap\SerialComm as stored (COM3, sometimes "COM3" in
// double quotes); value names and data longer than 500 bytes (terminator
// included) end the listing there. POSIX: "COMn" for every serial device that
// exists (a /sys/class/tty/<name>/device entry) in ascending COM order, then
// the numbers mapped with MapComPort. False when the system's list cannot be
// read at all (names stays empty).
bool SerialPortNames(std::vector<std::string>& names);

// The driver description of port n, when it fits in room bytes (terminator
// included). Windows: value "DriverDesc" of
// HKLM\SYSTEM\CurrentControlSet\Control\Class\{4D36E978-E325-11CE-BFC1-08002BE10318}\%04d.
// POSIX: the driver name under /sys/class/tty/<name>/device/driver; a mapped
// port has none.
bool PortDescription(int portNumber, size_t room, std::string& description);

}  // namespace platform
