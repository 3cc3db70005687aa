#include "tools/varnek-send/ConsoleFrame.h"

#include "platform/CodePage.h"

CConsoleFrame::CConsoleFrame(const CEngine& engine, std::FILE* out) : m_engine(engine), m_out(out) {
  for (const CListItem& item : engine.m_items) m_lastStates.push_back(item.m_state);
}

void CConsoleFrame::OnListChanged() {
  // The list does not change during a delivery, only the states.
  const std::vector<CListItem>& items = m_engine.m_items;
  m_lastStates.resize(items.size(), Accepted);
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].m_state == m_lastStates[i]) continue;
    m_lastStates[i] = items[i].m_state;
    std::string line = std::to_string(i + 1) + "/" + std::to_string(items.size()) + " " +
                       platform::Cp1251ToUtf8(items[i].m_number) + " " +
                       platform::Cp1251ToUtf8(DeliveryStateText(items[i].m_state));
    // The modem's reason, when it refused the message.
    if (items[i].m_state == SendError && !items[i].m_refusal.empty()) {
      line += ": " + platform::Cp1251ToUtf8(items[i].m_refusal);
    }
    PrintLine(line);
  }
}

void CConsoleFrame::OnStatusText(const char* text) { PrintLine(platform::Cp1251ToUtf8(text)); }

void CConsoleFrame::Note(const std::string& text) { PrintLine("varnek-send: " + text); }

void CConsoleFrame::PrintLine(const std::string& utf8) {
  std::lock_guard<std::mutex> guard(m_lock);
  std::fprintf(m_out, "%s\n", utf8.c_str());
  std::fflush(m_out);
}
