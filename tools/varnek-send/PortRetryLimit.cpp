#include "tools/varnek-send/PortRetryLimit.h"

#include <string>

CPortRetryLimit::CPortRetryLimit(CEngine& engine, IMainFrame& next, CConsoleFrame& console,
                                 int limit)
    : m_engine(engine), m_next(next), m_console(console), m_limit(limit) {
  for (const CListItem& item : engine.m_items) m_lastStates.push_back(item.m_state);
}

void CPortRetryLimit::OnListChanged() {
  m_next.OnListChanged();
  const std::vector<CListItem>& items = m_engine.m_items;
  for (size_t i = 0; i < items.size() && i < m_lastStates.size(); ++i) {
    const DeliveryState state = items[i].m_state;
    if (state == m_lastStates[i]) continue;
    m_lastStates[i] = state;
    if (state == PortError) ++m_failures;
    if (state == Sent || state == SendError) m_failures = 0;
  }
  if (m_limit == 0 || m_gaveUp || m_failures < m_limit) return;
  m_gaveUp = true;
  const std::string count =
      m_failures == 1 ? "1 failed capture of the modem"
                      : std::to_string(m_failures) + " failed captures of the modem in a row";
  m_console.Note(count + ": the run ends (--port-retries " + std::to_string(m_limit) + ")");
  // The worker sees the stop before its countdown and tries no more.
  m_engine.StopDelivery();
}
