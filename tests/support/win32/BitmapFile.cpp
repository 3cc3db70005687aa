#include "support/win32/BitmapFile.h"

#include <fstream>

namespace testing_support {

bool WriteBmp(const char* path, int width, int height, const std::vector<DWORD>& pixels) {
  std::ofstream file(path, std::ios::binary);
  BITMAPFILEHEADER header{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = -height;  // top-down rows
  info.biPlanes = 1;
  info.biBitCount = 32;
  const auto bytes = static_cast<DWORD>(pixels.size() * sizeof(DWORD));
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof(header) + sizeof(info);
  header.bfSize = header.bfOffBits + bytes;
  file.write(reinterpret_cast<const char*>(&header), sizeof(header));
  file.write(reinterpret_cast<const char*>(&info), sizeof(info));
  file.write(reinterpret_cast<const char*>(pixels.data()), bytes);
  return static_cast<bool>(file);
}

}  // namespace testing_support
