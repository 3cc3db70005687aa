#pragma once
// Screenshots of the window tests: 32-bit top-down pixels (0x00RRGGBB) as a
// BMP file.
#include <windows.h>

#include <vector>

namespace testing_support {

bool WriteBmp(const char* path, int width, int height, const std::vector<DWORD>& pixels);

}  // namespace testing_support
