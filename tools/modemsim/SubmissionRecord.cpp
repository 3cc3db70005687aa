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

void CSubmissionRecord::Append(int index, int announced, const std::string& text,
                               const std::string& answer, const SubmissionMarks& marks) {
  if (m_file == nullptr) return;
  // The texts are escaped so that stray control bytes cannot break the line.
  std::string line = std::to_string(index) + "\t" + std::to_string(announced) + "\t" +
                     EscapeBytes(text) + "\t" + EscapeText(answer);
  for (const auto& mark : marks) line += "\t" + mark.first + "=" + EscapeText(mark.second);
  std::fprintf(m_file, "%s\n", line.c_str());
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
