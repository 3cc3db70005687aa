#include <windows.h>

#include "platform/Files.h"
#include "platform/common/Backend.h"
#include "platform/win32/WidePath.h"

namespace platform {
namespace {

bool Flush(const std::string& path) {
  HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool flushed = FlushFileBuffers(file) != 0;
  CloseHandle(file);
  return flushed;
}

}  // namespace

namespace backend {

bool SystemReplaceFile(const std::string& source, const std::string& target) {
  // A rename that reaches the disk before the data would leave an empty or
  // cut file behind the name after a power cut. WRITE_THROUGH: the call
  // returns once the rename itself is on the disk.
  return Flush(source) &&
         MoveFileExW(WidePath(source).c_str(), WidePath(target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace backend

bool RemoveFile(const std::string& path) { return DeleteFileW(WidePath(path).c_str()) != 0; }

}  // namespace platform
