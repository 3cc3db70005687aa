#include <windows.h>

#include "platform/Files.h"
#include "platform/win32/WidePath.h"

namespace platform {
namespace {

constexpr DWORD kReadBlockSize = 64 * 1024;

// One file handle, closed once.
class CFileHandle {
 public:
  explicit CFileHandle(HANDLE handle) : m_handle(handle) {}
  ~CFileHandle() {
    if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
  }
  CFileHandle(const CFileHandle&) = delete;
  CFileHandle& operator=(const CFileHandle&) = delete;

  HANDLE Get() const { return m_handle; }

 private:
  HANDLE m_handle;
};

FileReadResult ReadAll(HANDLE file, size_t limit, std::string& contents) {
  char block[kReadBlockSize];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file, block, sizeof block, &got, nullptr)) return FileReadResult::ReadFailed;
    if (got == 0) return FileReadResult::Read;
    if (contents.size() + got > limit) return FileReadResult::TooLarge;
    contents.append(block, got);
  }
}

}  // namespace

FileReadResult ReadRegularFile(const std::string& path, size_t limit, std::string& contents) {
  contents.clear();
  // A folder cannot be opened as a file at all: told apart first.
  const std::wstring wide = WidePath(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FileReadResult::CannotOpen;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return FileReadResult::NotRegular;
  const CFileHandle file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.Get() == INVALID_HANDLE_VALUE) return FileReadResult::CannotOpen;
  // Pipes and devices (NUL, CON, COM1, ...) are not disk files.
  if (GetFileType(file.Get()) != FILE_TYPE_DISK) return FileReadResult::NotRegular;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.Get(), &size)) return FileReadResult::ReadFailed;
  if (static_cast<unsigned long long>(size.QuadPart) > limit) return FileReadResult::TooLarge;
  contents.reserve(static_cast<size_t>(size.QuadPart));
  const FileReadResult result = ReadAll(file.Get(), limit, contents);
  if (result != FileReadResult::Read) contents.clear();
  return result;
}

}  // namespace platform
