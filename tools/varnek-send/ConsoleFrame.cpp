#include "tools/varnek-send/ConsoleFrame.h"

#include "platform/CodePage.h"

CConsoleFrame::CConsoleFrame(const CEngine& engine, std::FILE* out) : m_engine(engine), m_out(out) {
  for (const CListItem& item : engine.m_items) m_lastShown.push_back(ItemStateText(item));
}

void CConsoleFrame::OnListChanged(size_t index) {
  // The list does not change during a delivery, only the states.
  const CListItem item = m_engine.ItemSnapshot(index);
  // The state's word, or the reports' once they came: the words are static,
  // one pointer each.
  const char* shown = ItemStateText(item);
  std::string line = std::to_string(index + 1) + "/" + std::to_string(m_engine.m_items.size()) +
                     " " + platform::Cp1251ToUtf8(item.m_number) + " " + platform::Cp1251ToUtf8(shown);
  const std::string& cause =
      item.m_record != nullptr && !item.m_record->cause.empty() ? item.m_record->cause : item.m_cause;
  if (!cause.empty()) line += ": " + platform::Cp1251ToUtf8(cause);
  std::lock_guard<std::mutex> guard(m_lock);
  if (index < m_lastShown.size() && m_lastShown[index] == shown) return;
  if (index < m_lastShown.size()) m_lastShown[index] = shown;
  PrintLocked(line);
}

void CConsoleFrame::OnStatusText(const char* text) { PrintLine(platform::Cp1251ToUtf8(text)); }

void CConsoleFrame::Note(const std::string& text) { PrintLine("varnek-send: " + text); }

void CConsoleFrame::PrintLine(const std::string& utf8) {
  std::lock_guard<std::mutex> guard(m_lock);
  PrintLocked(utf8);
}

void CConsoleFrame::PrintLocked(const std::string& utf8) {
  std::fprintf(m_out, "%s\n", utf8.c_str());
  std::fflush(m_out);
}
