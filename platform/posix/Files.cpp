#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/common/Backend.h"

namespace platform {

const char kPathSeparator = '/';

namespace backend {

std::string SystemProgramPath() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0 || length >= static_cast<ssize_t>(sizeof path)) return std::string();
  return std::string(path, static_cast<size_t>(length));
}

}  // namespace backend

bool CreateDir(const std::string& path) { return mkdir(path.c_str(), 0755) == 0; }

bool EnsureDir(const std::string& path, std::string& reason) {
  if (mkdir(path.c_str(), 0755) == 0) return true;
  const int error = errno;
  struct stat info;
  if (error == EEXIST && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return true;
  reason = std::strerror(error);
  return false;
}

bool PathExists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

bool CreateNewEmptyFile(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  close(fd);
  return true;
}

AppendFile::~AppendFile() { Close(); }

bool AppendFile::OpenWith(const std::string& path, bool empty) {
  Close();
  const int emptied = empty ? O_TRUNC : 0;
  m_handle = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | emptied, 0644);
  m_failure = m_handle == -1 ? std::strerror(errno) : std::string();
  return m_handle != -1;
}

bool AppendFile::Write(const void* data, size_t length) {
  if (m_handle == -1) return false;
  const char* bytes = static_cast<const char*>(data);
  while (length > 0) {
    const ssize_t written = write(static_cast<int>(m_handle), bytes, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      // A write that takes nothing found no room.
      m_failure = std::strerror(written < 0 ? errno : ENOSPC);
      return false;
    }
    bytes += written;
    length -= static_cast<size_t>(written);
  }
  m_failure.clear();
  return true;
}

void AppendFile::Close() {
  if (m_handle == -1) return;
  close(static_cast<int>(m_handle));
  m_handle = -1;
}

ReadFile::~ReadFile() { Close(); }

bool ReadFile::Open(const std::string& path) {
  Close();
  m_handle = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  return m_handle != -1;
}

size_t ReadFile::Read(void* buffer, size_t capacity) {
  if (m_handle == -1) return 0;
  ssize_t got;
  do {
    got = read(static_cast<int>(m_handle), buffer, capacity);
  } while (got < 0 && errno == EINTR);
  return got > 0 ? static_cast<size_t>(got) : 0;
}

void ReadFile::Close() {
  if (m_handle == -1) return;
  close(static_cast<int>(m_handle));
  m_handle = -1;
}

}  // namespace platform
