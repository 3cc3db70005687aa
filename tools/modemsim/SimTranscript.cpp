#include "tools/modemsim/SimTranscript.h"

#include "tools/modemsim/SimEscapes.h"

namespace modemsim {

CSimTranscript::~CSimTranscript() {
  if (m_file != nullptr) std::fclose(m_file);
}

bool CSimTranscript::Open(const std::string& path) {
  if (path.empty()) return true;
  m_file = std::fopen(path.c_str(), "ab");
  return m_file != nullptr;
}

void CSimTranscript::Event(const std::string& text) {
  if (m_file == nullptr) return;
  std::fprintf(m_file, "--- %s\n", text.c_str());
  std::fflush(m_file);
}

void CSimTranscript::Line(const char* prefix, const std::string& bytes) {
  if (m_file == nullptr) return;
  std::fprintf(m_file, "%s%s\n", prefix, EscapeBytes(bytes).c_str());
  std::fflush(m_file);
}

}  // namespace modemsim
