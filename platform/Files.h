#pragma once
// Files and folders. Paths are single-byte strings; on Windows they are code
// page 1251 whatever the system's code page (platform/win32/WidePath.h), on
// POSIX they go to the system as they are. Paths of any length the system
// takes work; none is cut: one the system refuses fails the call.
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// '\\' on Windows, '/' on POSIX: the separator of program paths.
extern const char kPathSeparator;

// Full path of the running program, "" when the system cannot say. Tests may
// point it elsewhere with SetProgramPathForTests (an empty path restores the
// real one).
std::string ProgramPath();
void SetProgramPathForTests(const std::string& path);

// The program path cut at its last separator (without the separator); "" when
// the path holds none.
std::string ProgramFolder();

// Creates one folder; false when it exists already or cannot be created.
bool CreateDir(const std::string& path);

// Makes sure a folder is there: true when it was created or is a folder
// already; false when it cannot be created (no rights, no parent, a file of
// that name in the way), with the system's words (UTF-8) in reason.
bool EnsureDir(const std::string& path, std::string& reason);

// True when any file system entry exists at path.
bool PathExists(const std::string& path);

// Creates a new empty file; false when the path exists or cannot be created.
bool CreateNewEmptyFile(const std::string& path);

// Reads the whole file; false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& contents);

// What became of a ReadRegularFile.
enum class FileReadResult { Read, CannotOpen, NotRegular, TooLarge, ReadFailed };

// Reads a regular file of at most limit bytes whole. A folder, a FIFO or a
// device is refused at once (NotRegular), without waiting for a writer or
// reading a stream without end; a file over limit is refused before its bytes
// are read (TooLarge), and so is one that grows past limit while it is read.
// contents holds the file only with Read.
FileReadResult ReadRegularFile(const std::string& path, size_t limit, std::string& contents);

// Puts the file source in the place of target in one step, after flushing
// source to the disk: a reader of target, even after a crash or a power cut,
// finds either the old file whole or the new one. False when it cannot be
// done; source and target then stay as they were.
bool ReplaceFileAtomically(const std::string& source, const std::string& target);

// Tests: every ReplaceFileAtomically fails without touching either file, as
// when the process dies just before that step; false restores them.
void FailFileReplacesForTests(bool fail);

// Removes a file; false when there is none or it cannot be removed.
bool RemoveFile(const std::string& path);

// Makes the file at path hold contents, replacing what it held; false when
// it cannot be created or not all of contents could be written (what was
// written stays).
bool WriteWholeFile(const std::string& path, const std::string& contents);

// A file open for appending, shared for reading by others, created when it is
// missing. Closed by the destructor.
class AppendFile {
 public:
  AppendFile() = default;
  ~AppendFile();
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;

  bool Open(const std::string& path);    // keeps what the file holds
  bool Create(const std::string& path);  // empties a file that exists
  bool IsOpen() const { return m_handle != -1; }
  // False when not all of it could be written (a full disk, a network
  // folder gone) or no file is open.
  bool Write(const void* data, size_t length);
  void Close();
  // Why the last Open, Create or Write failed, in the system's words
  // (UTF-8); empty after one that succeeded.
  const std::string& FailureReason() const { return m_failure; }

 private:
  bool OpenWith(const std::string& path, bool empty);

  intptr_t m_handle = -1;
  std::string m_failure;
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
