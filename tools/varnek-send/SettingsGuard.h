#pragma once
// Keeps the engine's settings file as it was before a run whose options
// changed the settings in memory only. The engine's teardown always rewrites
// the file; this puts the five fields back before it, and afterwards the
// file's former bytes (or removes the file when there was none).
#include <string>

#include "engine/Engine.h"

class CSettingsGuard {
 public:
  // Takes the file and the five fields as the engine has just read them.
  explicit CSettingsGuard(const CEngine& engine);

  // The engine's teardown between restoring the fields and the file.
  void TearDown(CEngine& engine) const;

 private:
  void RestoreFile() const;

  std::string m_path;
  bool m_existed = false;
  bool m_read = false;  // m_contents holds the file
  std::string m_contents;
  int32_t m_baudRate;
  int32_t m_port;
  int32_t m_checkDuplicates;
  int32_t m_minPause;
  int32_t m_maxPause;
};
