#include "ui/DeliveryTally.h"

#include <algorithm>

namespace {

struct StateAddendum {
  DeliveryState state;
  const char* label;
};

// Counts the progress line names only when there are any (after the failed).
constexpr StateAddendum kProgressAddenda[] = {
    {Unconfirmed, ", без подтверждения: "},
    {StopListed, ", в стоп-листе: "},
};

// Counts the summary names only when there are any.
constexpr StateAddendum kSummaryAddenda[] = {
    {StopListed, ", в стоп-листе: "},
    {Accepted, ", не отправлено: "},
};

constexpr unsigned kOutcomeShift = 4;

}  // namespace

uint8_t CDeliveryTally::Packed(const CListItem& item) {
  const size_t slot = std::min(static_cast<size_t>(static_cast<uint32_t>(item.m_state)), kSlots - 1);
  // As the list shows it: a report counts for a number that stands as sent.
  const ReportOutcome outcome = ItemReportOutcome(item);
  return static_cast<uint8_t>(slot | static_cast<size_t>(outcome) << kOutcomeShift);
}

void CDeliveryTally::Add(uint8_t packed, bool in) {
  size_t& state = m_counts[packed & ((1u << kOutcomeShift) - 1)];
  size_t& outcome = m_outcomes[packed >> kOutcomeShift];
  if (in) {
    ++state;
    ++outcome;
  } else {
    --state;
    --outcome;
  }
}

void CDeliveryTally::Reset(const std::vector<CListItem>& items) {
  std::fill(std::begin(m_counts), std::end(m_counts), 0);
  std::fill(std::begin(m_outcomes), std::end(m_outcomes), 0);
  m_items.resize(items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    m_items[i] = Packed(items[i]);
    Add(m_items[i], true);
  }
}

void CDeliveryTally::Change(size_t index, const CListItem& item) {
  if (index >= m_items.size()) return;
  Add(m_items[index], false);
  m_items[index] = Packed(item);
  Add(m_items[index], true);
}

size_t CDeliveryTally::Count(DeliveryState state) const {
  return m_counts[std::min(static_cast<size_t>(static_cast<uint32_t>(state)), kSlots - 1)];
}

size_t CDeliveryTally::Count(ReportOutcome outcome) const {
  return m_outcomes[static_cast<size_t>(outcome)];
}

// A port error that outlived the run failed its number as much as a refusal.
size_t CDeliveryTally::Failed() const { return Count(SendError) + Count(PortError); }

std::string CDeliveryTally::ProgressText() const {
  std::string text = "Отправлено " + std::to_string(Count(Sent)) + " из " + std::to_string(Total());
  if (Failed() > 0) text += ", ошибок: " + std::to_string(Failed());
  for (const StateAddendum& addendum : kProgressAddenda) {
    if (Count(addendum.state) > 0) text += addendum.label + std::to_string(Count(addendum.state));
  }
  if (Count(ReportOutcome::Delivered) > 0)
    text += ", доставлено: " + std::to_string(Count(ReportOutcome::Delivered));
  return text;
}

std::string CDeliveryTally::SummaryText() const {
  std::string text = "Итог: отправлено " + std::to_string(Count(Sent)) + " из " +
                     std::to_string(Total()) + "; ошибок: " + std::to_string(Failed()) +
                     ", дублей: " + std::to_string(Count(Duplicate)) +
                     ", без подтверждения: " + std::to_string(Count(Unconfirmed));
  for (const StateAddendum& addendum : kSummaryAddenda) {
    if (Count(addendum.state) > 0) text += addendum.label + std::to_string(Count(addendum.state));
  }
  const size_t pending = Count(ReportOutcome::Pending);
  if (Count(ReportOutcome::Delivered) + Count(ReportOutcome::NotDelivered) + pending == 0) return text;
  text += "; доставлено: " + std::to_string(Count(ReportOutcome::Delivered)) +
          ", не доставлено: " + std::to_string(Count(ReportOutcome::NotDelivered));
  if (pending > 0) text += ", ожидают доставки: " + std::to_string(pending);
  return text;
}
