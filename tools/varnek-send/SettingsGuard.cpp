#include "tools/varnek-send/SettingsGuard.h"

#include <cstdio>

#include "platform/Files.h"

namespace {

constexpr size_t kConfigPathSize = 260;

bool WriteWholeFile(const std::string& path, const std::string& contents) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

CSettingsGuard::CSettingsGuard(const CEngine& engine)
    : m_baudRate(engine.m_baudRate),
      m_port(engine.m_port),
      m_checkDuplicates(engine.m_checkDuplicates),
      m_minPause(engine.m_minPause),
      m_maxPause(engine.m_maxPause) {
  char path[kConfigPathSize];
  CEngine::GetConfigPath(path);
  m_path = path;
  if (m_path.empty()) return;
  m_existed = platform::PathExists(m_path);
  m_read = m_existed && platform::ReadWholeFile(m_path, m_contents);
}

void CSettingsGuard::TearDown(CEngine& engine) const {
  // Should the file not be restorable, the teardown still writes the values
  // the file gave.
  engine.m_baudRate = m_baudRate;
  engine.m_port = m_port;
  engine.m_checkDuplicates = m_checkDuplicates;
  engine.m_minPause = m_minPause;
  engine.m_maxPause = m_maxPause;
  engine.Teardown();
  RestoreFile();
}

void CSettingsGuard::RestoreFile() const {
  if (m_path.empty()) return;
  if (!m_existed) {
    std::remove(m_path.c_str());
    return;
  }
  // A file that could not be read cannot be put back; it then holds the same
  // values in the engine's own form.
  std::string now;
  if (!m_read || (platform::ReadWholeFile(m_path, now) && now == m_contents)) return;
  WriteWholeFile(m_path, m_contents);
}
