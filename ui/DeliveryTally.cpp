#include "ui/DeliveryTally.h"

#include <algorithm>

namespace {

struct Addendum {
  DeliveryState state;
  const char* label;
};

// Counts the summary names only when there are any.
constexpr Addendum kAddenda[] = {
    {StopListed, ", в стоп-листе: "},
    {Accepted, ", не отправлено: "},
};

}  // namespace

size_t CDeliveryTally::Slot(DeliveryState state) {
  return std::min(static_cast<size_t>(static_cast<uint32_t>(state)), kSlots - 1);
}

void CDeliveryTally::Reset(const std::vector<CListItem>& items) {
  std::fill(std::begin(m_counts), std::end(m_counts), 0);
  m_states.resize(items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    m_states[i] = static_cast<uint8_t>(Slot(items[i].m_state));
    ++m_counts[m_states[i]];
  }
}

void CDeliveryTally::Change(size_t index, DeliveryState state) {
  if (index >= m_states.size()) return;
  --m_counts[m_states[index]];
  m_states[index] = static_cast<uint8_t>(Slot(state));
  ++m_counts[m_states[index]];
}

size_t CDeliveryTally::Count(DeliveryState state) const { return m_counts[Slot(state)]; }

// A port error that outlived the run failed its number as much as a refusal.
size_t CDeliveryTally::Failed() const { return Count(SendError) + Count(PortError); }

std::string CDeliveryTally::ProgressText() const {
  std::string text = "Отправлено " + std::to_string(Count(Sent)) + " из " + std::to_string(Total());
  if (Failed() > 0) text += ", ошибок: " + std::to_string(Failed());
  return text;
}

std::string CDeliveryTally::SummaryText() const {
  std::string text = "Итог: отправлено " + std::to_string(Count(Sent)) + " из " +
                     std::to_string(Total()) + "; ошибок: " + std::to_string(Failed()) +
                     ", дублей: " + std::to_string(Count(Duplicate)) +
                     ", без подтверждения: " + std::to_string(Count(Unconfirmed));
  for (const Addendum& addendum : kAddenda) {
    if (Count(addendum.state) > 0) text += addendum.label + std::to_string(Count(addendum.state));
  }
  return text;
}
