#include "platform/Files.h"

#include <windows.h>

#include "platform/common/Backend.h"
#include "platform/win32/WidePath.h"

namespace platform {
namespace {

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

intptr_t FromHandle(HANDLE handle) { return reinterpret_cast<intptr_t>(handle); }

// INVALID_HANDLE_VALUE is -1, the classes' "not open" value.
void CloseIfOpen(intptr_t& handle) {
  if (handle == -1) return;
  CloseHandle(AsHandle(handle));
  handle = -1;
}

// The longest path the system takes, in UTF-16 units, with the zero.
constexpr size_t kLongestPath = 32768;

}  // namespace

const char kPathSeparator = '\\';

namespace backend {

// A buffer that the path fills to its last unit holds it cut short: the
// buffer grows until the path leaves room in it.
std::string SystemProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return std::string();
    if (length < path.size()) return NarrowPath(path.substr(0, length));
    if (path.size() >= kLongestPath) return std::string();
    path.resize(path.size() * 2);
  }
}

}  // namespace backend

bool CreateDir(const std::string& path) {
  return CreateDirectoryW(WidePath(path).c_str(), nullptr) != 0;
}

bool EnsureDir(const std::string& path, std::string& reason) {
  const std::wstring wide = WidePath(path);
  if (CreateDirectoryW(wide.c_str(), nullptr)) return true;
  const DWORD error = GetLastError();
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  const bool folder =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (error == ERROR_ALREADY_EXISTS && folder) return true;
  reason = SystemMessage(error);
  return false;
}

// A name with a wildcard left in it names no one entry: the search would
// report whatever it matches.
bool PathExists(const std::string& path) {
  const std::wstring wide = WidePath(path);
  if (wide.find_first_of(L"*?", LongPathPrefixLength(wide)) != std::wstring::npos) return false;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(wide.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

bool CreateNewEmptyFile(const std::string& path) {
  HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

AppendFile::~AppendFile() { Close(); }

bool AppendFile::OpenWith(const std::string& path, bool empty) {
  Close();
  HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            empty ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    m_failure = SystemMessage(GetLastError());
    return false;
  }
  SetFilePointer(file, 0, nullptr, FILE_END);
  m_handle = FromHandle(file);
  m_failure.clear();
  return true;
}

bool AppendFile::Write(const void* data, size_t length) {
  if (m_handle == -1) return false;
  const char* bytes = static_cast<const char*>(data);
  while (length > 0) {
    const DWORD piece = length > 0x40000000 ? 0x40000000 : static_cast<DWORD>(length);
    DWORD written = 0;
    const bool wrote = WriteFile(AsHandle(m_handle), bytes, piece, &written, nullptr) != 0;
    if (!wrote || written == 0) {
      // A write that takes nothing found no room.
      m_failure = SystemMessage(wrote ? ERROR_DISK_FULL : GetLastError());
      return false;
    }
    bytes += written;
    length -= written;
  }
  m_failure.clear();
  return true;
}

void AppendFile::Close() { CloseIfOpen(m_handle); }

ReadFile::~ReadFile() { Close(); }

bool ReadFile::Open(const std::string& path) {
  Close();
  HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  m_handle = FromHandle(file);
  return true;
}

size_t ReadFile::Read(void* buffer, size_t capacity) {
  if (m_handle == -1) return 0;
  const DWORD wanted = capacity > 0x40000000 ? 0x40000000 : static_cast<DWORD>(capacity);
  DWORD got = 0;
  // The Win32 function, not this class.
  if (!::ReadFile(AsHandle(m_handle), buffer, wanted, &got, nullptr)) return 0;
  return got;
}

void ReadFile::Close() { CloseIfOpen(m_handle); }

}  // namespace platform
