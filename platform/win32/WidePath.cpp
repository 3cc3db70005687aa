#include "platform/win32/WidePath.h"

#include <windows.h>

#include <mutex>
#include <utility>
#include <vector>

#include "platform/CodePage.h"

namespace platform {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16");

// The paths that lost characters: their 1251 form and their original. One
// 1251 byte stands for one UTF-16 unit, so positions agree in both.
struct RememberedPaths {
  std::mutex lock;
  std::vector<std::pair<std::string, std::wstring>> paths;
};

RememberedPaths& Remembered() {
  static RememberedPaths value;
  return value;
}

size_t CommonPrefix(const std::string& a, const std::string& b) {
  size_t n = 0;
  while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
  return n;
}

}  // namespace

std::wstring WidePath(const std::string& path) {
  const std::u16string converted = Cp1251ToUtf16(path);
  std::wstring wide(converted.begin(), converted.end());
  if (path.find('?') == std::string::npos) return wide;
  RememberedPaths& remembered = Remembered();
  std::lock_guard<std::mutex> guard(remembered.lock);
  const std::pair<std::string, std::wstring>* best = nullptr;
  size_t bestLength = 0;
  for (const auto& entry : remembered.paths) {
    const size_t length = CommonPrefix(path, entry.first);
    if (length > bestLength) {
      best = &entry;
      bestLength = length;
    }
  }
  if (best) wide.replace(0, bestLength, best->second, 0, bestLength);
  return wide;
}

std::string NarrowPath(const std::wstring& path) {
  const std::string narrow = Utf16ToCp1251(std::u16string(path.begin(), path.end()));
  if (WidePath(narrow) == path) return narrow;
  RememberedPaths& remembered = Remembered();
  std::lock_guard<std::mutex> guard(remembered.lock);
  remembered.paths.emplace_back(narrow, path);
  return narrow;
}

std::string Utf8FromWide(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return std::string();
  std::string result(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], size, nullptr, nullptr);
  result.resize(static_cast<size_t>(size - 1));  // without the terminating zero
  return result;
}

}  // namespace platform
