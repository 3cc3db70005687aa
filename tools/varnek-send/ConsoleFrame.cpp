#include "tools/varnek-send/ConsoleFrame.h"

#include "platform/CodePage.h"

CConsoleFrame::CConsoleFrame(const CEngine& engine, std::FILE* out) : m_engine(engine), m_out(out) {
  for (const CListItem& item : engine.m_items) m_lastStates.push_back(item.m_state);
}

void CConsoleFrame::OnListChanged(size_t index) {
  // The list does not change during a delivery, only the states.
  const CListItem item = m_engine.ItemSnapshot(index);
  std::string line = std::to_string(index + 1) + "/" + std::to_string(m_engine.m_items.size()) +
                     " " + platform::Cp1251ToUtf8(item.m_number) + " " +
                     platform::Cp1251ToUtf8(DeliveryStateText(item.m_state));
  if (!item.m_cause.empty()) line += ": " + platform::Cp1251ToUtf8(item.m_cause);
  std::lock_guard<std::mutex> guard(m_lock);
  if (index < m_lastStates.size() && m_lastStates[index] == item.m_state) return;
  if (index < m_lastStates.size()) m_lastStates[index] = item.m_state;
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
