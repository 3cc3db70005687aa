#include "tools/varnek-send/PortRetryLimit.h"

#include <string>

#include "tools/varnek-send/SendMessages.h"

CPortRetryLimit::CPortRetryLimit(CEngine& engine, IMainFrame& next, CConsoleFrame& console,
                                 int limit)
    : m_engine(engine), m_next(next), m_console(console), m_limit(limit) {
  for (const CListItem& item : engine.m_items) m_lastStates.push_back(item.m_state);
}

void CPortRetryLimit::OnListChanged(size_t index) {
  m_next.OnListChanged(index);
  const DeliveryState state = m_engine.ItemSnapshot(index).m_state;
  std::lock_guard<std::mutex> guard(m_lock);
  if (index >= m_lastStates.size() || state == m_lastStates[index]) return;
  m_lastStates[index] = state;
  if (state == PortError) ++m_failures;
  if (state == Sent || state == SendError) m_failures = 0;
  if (m_limit == 0 || m_gaveUp || m_failures < m_limit) return;
  m_gaveUp = true;
  m_console.Note(SayCount(Msg::RetriesRanOut, static_cast<size_t>(m_failures),
                          {std::to_string(m_limit)}));
  // The worker sees the stop before its countdown and tries no more.
  m_engine.StopDelivery();
}
