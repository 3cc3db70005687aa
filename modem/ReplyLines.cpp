#include "modem/ReplyLines.h"

namespace reply {

void CLineSplitter::Feed(const char* data, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    const char c = data[i];
    if (c == '\r' || c == '\n') {
      EndLine();
    } else if (c != '\0') {
      m_partial += c;
      if (m_partial.size() >= kMaxLine) EndLine();
    }
  }
}

void CLineSplitter::EndLine() {
  if (!m_partial.empty()) m_lines.push_back(m_partial);
  m_partial.clear();
}

bool CLineSplitter::Next(std::string& line) {
  if (m_lines.empty()) return false;
  line = std::move(m_lines.front());
  m_lines.pop_front();
  return true;
}

void CLineSplitter::Clear() {
  m_lines.clear();
  m_partial.clear();
}

}  // namespace reply
