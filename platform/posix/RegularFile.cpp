#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "platform/Files.h"
#include "platform/posix/Descriptor.h"

namespace platform {
namespace {

constexpr size_t kReadBlockSize = 64 * 1024;

FileReadResult CheckKind(const struct stat& info, size_t limit) {
  if (!S_ISREG(info.st_mode)) return FileReadResult::NotRegular;
  if (static_cast<uintmax_t>(info.st_size) > limit) return FileReadResult::TooLarge;
  return FileReadResult::Read;
}

FileReadResult ReadAll(int fd, size_t limit, std::string& contents) {
  char block[kReadBlockSize];
  for (;;) {
    const ssize_t got = read(fd, block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return FileReadResult::ReadFailed;
    if (got == 0) return FileReadResult::Read;
    if (contents.size() + static_cast<size_t>(got) > limit) return FileReadResult::TooLarge;
    contents.append(block, static_cast<size_t>(got));
  }
}

}  // namespace

FileReadResult ReadRegularFile(const std::string& path, size_t limit, std::string& contents) {
  contents.clear();
  // Looked at before it is opened: opening a device may act on it (a serial
  // line raises DTR), opening a FIFO waits for a writer.
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return FileReadResult::CannotOpen;
  FileReadResult kind = CheckKind(info, limit);
  if (kind != FileReadResult::Read) return kind;
  // Non-blocking and checked again: the name may have changed hands since.
  const CDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.Get() < 0) return FileReadResult::CannotOpen;
  if (fstat(file.Get(), &info) != 0) return FileReadResult::ReadFailed;
  kind = CheckKind(info, limit);
  if (kind != FileReadResult::Read) return kind;
  contents.reserve(static_cast<size_t>(info.st_size));
  const FileReadResult result = ReadAll(file.Get(), limit, contents);
  if (result != FileReadResult::Read) contents.clear();
  return result;
}

}  // namespace platform
