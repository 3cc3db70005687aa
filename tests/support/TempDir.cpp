#include "support/TempDir.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "modem/Log.h"
#include "platform/Files.h"

namespace testing_support {

namespace fs = std::filesystem;

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path dir = fs::temp_directory_path() /
                 ("varnek-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  fs::create_directories(dir);
  m_path = dir.string();
}

TempDir::~TempDir() {
  if (m_programPathSet) {
    platform::SetProgramPathForTests("");
    GetLog().Reset();
  }
  std::error_code ignored;
  fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(m_path, ignored);
}

std::string TempDir::File(const std::string& name) const {
  return m_path + platform::kPathSeparator + name;
}

// Names of at most 100 bytes, well below any system's limit for one name.
std::string TempDir::MakeFolderOfLength(size_t length) const {
  std::string path = m_path;
  while (path.size() + 1 < length) {
    size_t name = std::min<size_t>(100, length - path.size() - 1);
    if (length - path.size() - 1 - name == 1) --name;  // the next one needs room for two
    path += platform::kPathSeparator + std::string(name, 'f');
    platform::CreateDir(path);
  }
  return path;
}

void TempDir::UseAsProgramFolder(const std::string& programName) {
  platform::SetProgramPathForTests(File(programName));
  GetLog().Reset();  // the log keeps its files open for the day
  m_programPathSet = true;
}

}  // namespace testing_support
