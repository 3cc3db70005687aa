#pragma once
// The fixed COM number <-> tty device naming of the POSIX backend:
// COM1-32 are /dev/ttyS0-31, COM33-64 /dev/ttyUSB0-31, COM65-96 /dev/ttyACM0-31.
#include <string>

namespace platform {
namespace backend {

// The device path of a COM number, ignoring MapComPort; "" outside 1-96.
std::string TtyPathOfCom(int comNumber);
// The COM number of a tty name such as "ttyUSB2"; 0 when it has none.
int ComOfTtyName(const std::string& name);
// The naming in words: "COM1-32 = /dev/ttyS0-31, COM33-64 = ...".
std::string TtyFamiliesText();

}  // namespace backend
}  // namespace platform
