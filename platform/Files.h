#pragma once
// Files and folders. Paths are single-byte strings; on Windows they are code
// page 1251 whatever the system's code page (platform/win32/WidePath.h), on
// POSIX they go to the system as they are.
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// '\\' on Windows, '/' on POSIX: the separator of program paths.
extern const char kPathSeparator;

// Full path of the running program. Tests may point it elsewhere with
// SetProgramPathForTests (an empty path restores the real one).
std::string ProgramPath();
void SetProgramPathForTests(const std::string& path);

// The program path cut at its last separator (without the separator); "" when
// the path holds none.
std::string ProgramFolder();

// Creates one folder; false when it exists already or cannot be created.
bool CreateDir(const std::string& path);

// True when any file system entry exists at path.
bool PathExists(const std::string& path);

// Creates a new empty file; false when the path exists or cannot be created.
bool CreateNewEmptyFile(const std::string& path);

// Reads the whole file; false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& contents);

// A file open for appending, shared for reading by others, created when it is
// missing. Closed by the destructor.
class AppendFile {
 public:
  AppendFile() = default;
  ~AppendFile();
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;

  bool Open(const std::string& path);
  bool IsOpen() const { return m_handle != -1; }
  void Write(const void* data, size_t length);  // errors are not reported
  void Close();

 private:
  intptr_t m_handle = -1;
};

// A file open for reading, shared for reading and writing, existing files only.
class ReadFile {
 public:
  ReadFile() = default;
  ~ReadFile();
  ReadFile(const ReadFile&) = delete;
  ReadFile& operator=(const ReadFile&) = delete;

  bool Open(const std::string& path);
  // Bytes read, 0 at the end of the file or on error.
  size_t Read(void* buffer, size_t capacity);
  void Close();

 private:
  intptr_t m_handle = -1;
};

}  // namespace platform
