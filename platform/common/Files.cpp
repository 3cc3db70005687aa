#include "platform/Files.h"

#include <mutex>

#include "platform/common/Backend.h"

namespace platform {
namespace {

struct ProgramPathOverride {
  std::mutex lock;
  std::string path;
};

ProgramPathOverride& TheOverride() {
  static ProgramPathOverride value;
  return value;
}

}  // namespace

std::string ProgramPath() {
  {
    ProgramPathOverride& value = TheOverride();
    std::lock_guard<std::mutex> guard(value.lock);
    if (!value.path.empty()) return value.path;
  }
  return backend::SystemProgramPath();
}

void SetProgramPathForTests(const std::string& path) {
  ProgramPathOverride& value = TheOverride();
  std::lock_guard<std::mutex> guard(value.lock);
  value.path = path;
}

std::string ProgramFolder() {
  std::string path = ProgramPath();
  size_t cut = path.rfind(kPathSeparator);
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

bool AppendFile::Open(const std::string& path) { return OpenWith(path, false); }

bool AppendFile::Create(const std::string& path) { return OpenWith(path, true); }

bool WriteWholeFile(const std::string& path, const std::string& contents) {
  AppendFile file;
  return file.Create(path) && file.Write(contents.data(), contents.size());
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
  contents.clear();
  ReadFile file;
  if (!file.Open(path)) return false;
  char buffer[4096];
  while (size_t got = file.Read(buffer, sizeof buffer)) contents.append(buffer, got);
  return true;
}

}  // namespace platform
