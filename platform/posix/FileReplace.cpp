#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "platform/Files.h"
#include "platform/common/Backend.h"

namespace platform {
namespace {

// fsync on a descriptor opened for reading serves files and folders alike.
bool Sync(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  close(fd);
  return synced;
}

std::string FolderOf(const std::string& path) {
  const size_t cut = path.rfind('/');
  if (cut == std::string::npos) return ".";
  return cut == 0 ? "/" : path.substr(0, cut);
}

}  // namespace

namespace backend {

bool SystemReplaceFile(const std::string& source, const std::string& target) {
  // A rename that reaches the disk before the data would leave an empty or
  // cut file behind the name after a power cut.
  if (!Sync(source) || std::rename(source.c_str(), target.c_str()) != 0) return false;
  // The new name lasts once its folder is on the disk. Should that flush fail
  // the replace has still happened: the old file is gone either way.
  Sync(FolderOf(target));
  return true;
}

}  // namespace backend

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }

}  // namespace platform
