#include "ui/framework/Text1251.h"

#include <cstring>
#include <cwchar>

#include "platform/CodePage.h"

namespace ui {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16");

std::wstring Wide1251(const std::string& text) {
  const std::u16string wide = platform::Cp1251ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

std::wstring Wide1251(const char* text) { return Wide1251(std::string(text ? text : "")); }

std::string Narrow1251(const std::wstring& text) {
  return platform::Utf16ToCp1251(std::u16string(text.begin(), text.end()));
}

std::string Narrow1251(const wchar_t* text) { return Narrow1251(std::wstring(text ? text : L"")); }

bool SetWindowText1251(HWND hWnd, const char* text) {
  return SetWindowTextW(hWnd, Wide1251(text).c_str()) != FALSE;
}

std::string GetWindowText1251(HWND hWnd) {
  const int length = GetWindowTextLengthW(hWnd);
  if (length <= 0) return std::string();
  std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hWnd, &wide[0], length + 1);
  wide.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return Narrow1251(wide);
}

int GetWindowText1251(HWND hWnd, char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  const std::string text = GetWindowText1251(hWnd);
  const size_t count = text.size() < static_cast<size_t>(size - 1) ? text.size() : static_cast<size_t>(size - 1);
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return static_cast<int>(count);
}

void CopyText1251(const std::string& text, wchar_t* buffer, int size) {
  if (buffer == nullptr || size <= 0) return;
  const std::wstring wide = Wide1251(text);
  const size_t count = wide.size() < static_cast<size_t>(size - 1) ? wide.size() : static_cast<size_t>(size - 1);
  std::wmemcpy(buffer, wide.data(), count);
  buffer[count] = L'\0';
}

}  // namespace ui
