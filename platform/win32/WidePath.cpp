#include "platform/win32/WidePath.h"

#include <windows.h>

#include <cstring>
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

// CreateDirectoryW's limit: MAX_PATH less room for an 8.3 file name.
constexpr size_t kLongPathFrom = MAX_PATH - 12;

bool BeginsWith(const std::wstring& text, const wchar_t* start) {
  return text.compare(0, std::wcslen(start), start) == 0;
}

// The full path, at any length; "" when the system cannot make one.
std::wstring FullPath(const std::wstring& path) {
  std::wstring full(path.size() + MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    if (length == 0) return std::wstring();
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);  // the size needed, with the terminating zero
  }
  return std::wstring();
}

std::wstring LongForm(const std::wstring& path) {
  if (path.size() < kLongPathFrom || BeginsWith(path, L"\\\\?\\") ||
      BeginsWith(path, L"\\\\.\\")) {
    return path;
  }
  const std::wstring full = FullPath(path);
  if (full.empty()) return path;
  if (BeginsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::wstring WithRemembered(const std::string& path, std::wstring wide) {
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

}  // namespace

std::wstring WidePath(const std::string& path) {
  const std::u16string converted = Cp1251ToUtf16(path);
  return LongForm(WithRemembered(path, std::wstring(converted.begin(), converted.end())));
}

size_t LongPathPrefixLength(const std::wstring& path) {
  return BeginsWith(path, L"\\\\?\\") ? 4 : 0;
}

std::string NarrowPath(const std::wstring& path) {
  const std::string narrow = Utf16ToCp1251(std::u16string(path.begin(), path.end()));
  const std::u16string back = Cp1251ToUtf16(narrow);
  if (WithRemembered(narrow, std::wstring(back.begin(), back.end())) == path) return narrow;
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

std::string SystemMessage(unsigned long code) {
  wchar_t text[512] = {};
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, text, 512, nullptr);
  std::string message = length == 0 ? std::string() : Utf8FromWide(text);
  while (!message.empty() && std::strchr(" .\r\n", message.back()) != nullptr) message.pop_back();
  return message.empty() ? "system error " + std::to_string(code) : message;
}

}  // namespace platform
