#include "tools/modemsim/SubmissionRecord.h"

#include "tools/modemsim/SimEscapes.h"

namespace modemsim {

CSubmissionRecord::~CSubmissionRecord() {
  if (m_file != nullptr) std::fclose(m_file);
}

bool CSubmissionRecord::Open(const std::string& path) {
  if (path.empty()) return true;
  m_file = std::fopen(path.c_str(), "ab");
  return m_file != nullptr;
}

void CSubmissionRecord::Append(int index, int announced, const std::string& pdu,
                               const std::string& answer) {
  if (m_file == nullptr) return;
  // The text is escaped so that stray control bytes cannot break the line.
  std::fprintf(m_file, "%d\t%d\t%s\t%s\n", index, announced, EscapeBytes(pdu).c_str(),
               answer.c_str());
  std::fflush(m_file);
}

void CSubmissionRecord::AppendEvent(const std::string& event, const std::string& memory, int index,
                                    const std::string& kind, const std::string& pdu) {
  if (m_file == nullptr) return;
  std::fprintf(m_file, "%s\t%s\t%d\t%s\t%s\n", event.c_str(), memory.c_str(), index, kind.c_str(),
               pdu.c_str());
  std::fflush(m_file);
}

}  // namespace modemsim
