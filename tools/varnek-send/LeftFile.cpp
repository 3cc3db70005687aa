#include "tools/varnek-send/LeftFile.h"

#include "platform/CommandLine.h"
#include "platform/Files.h"

namespace {

constexpr char kTemporarySuffix[] = ".tmp";

}  // namespace

bool WriteLeftFile(const std::string& name, const std::string& contents) {
  const std::string path = platform::PathFromUtf8(name);
  const std::string temporary = path + kTemporarySuffix;
  platform::RemoveFile(temporary);  // a killed run's, or AppendFile would add to it
  {
    platform::AppendFile file;
    if (!file.Open(temporary)) return false;
    file.Write(contents.data(), contents.size());
  }
  // The write does not say when the disk was full: the file read back does.
  std::string written;
  const bool whole = platform::ReadWholeFile(temporary, written) && written == contents;
  if (whole && platform::ReplaceFileAtomically(temporary, path)) return true;
  platform::RemoveFile(temporary);
  return false;
}
