#include "platform/CommandLine.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/WidePath.h"

namespace platform {
namespace {

std::wstring ToWide(const std::string& text, UINT codePage) {
  const int size = MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
  if (size <= 1) return std::wstring();
  std::wstring result(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(codePage, 0, text.c_str(), -1, &result[0], size);
  result.resize(static_cast<size_t>(size - 1));
  return result;
}

// Frees the array of CommandLineToArgvW.
class WideArgs {
 public:
  WideArgs() : m_args(CommandLineToArgvW(GetCommandLineW(), &m_count)) {}
  ~WideArgs() {
    if (m_args != nullptr) LocalFree(m_args);
  }
  WideArgs(const WideArgs&) = delete;
  WideArgs& operator=(const WideArgs&) = delete;

  int Count() const { return m_args == nullptr ? 0 : m_count; }
  const wchar_t* operator[](int i) const { return m_args[i]; }

 private:
  int m_count = 0;
  wchar_t** m_args;
};

}  // namespace

std::vector<std::string> CommandLineUtf8(int argc, char** argv) {
  WideArgs wide;
  if (wide.Count() == 0) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> args;
  for (int i = 0; i < wide.Count(); ++i) args.push_back(Utf8FromWide(wide[i]));
  return args;
}

std::string PathFromUtf8(const std::string& path) { return NarrowPath(ToWide(path, CP_UTF8)); }

std::string PathToUtf8(const std::string& path) {
  return Utf8FromWide(WidePath(path).c_str());
}

void UseUtf8Console() { SetConsoleOutputCP(CP_UTF8); }

}  // namespace platform
