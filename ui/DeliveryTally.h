#pragma once
// CDeliveryTally: how many numbers of the list are in each state, kept up to
// date from the changes the delivery reports, one item at a time, so that
// the progress line costs the same on a list of ten numbers or of a million.
// It remembers the state it counted for every item (a byte each).
//
// One thread (the window's).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ListItem.h"

class CDeliveryTally {
 public:
  // Counts the states of items afresh (the start of a delivery).
  void Reset(const std::vector<CListItem>& items);
  // Item index is now in state; its old state is counted out. An index
  // beyond the items counted at Reset is ignored.
  void Change(size_t index, DeliveryState state);

  size_t Count(DeliveryState state) const;
  size_t Total() const { return m_states.size(); }

  // During a run: "Отправлено 3 из 10", with ", ошибок: 1" when numbers
  // failed (1251).
  std::string ProgressText() const;
  // At the end: "Итог: отправлено 8 из 10; ошибок: 1, дублей: 1, без
  // подтверждения: 0", then the stop-listed and the numbers left unsent
  // when there are any (1251).
  std::string SummaryText() const;

 private:
  static constexpr size_t kSlots = kDeliveryStateCount + 1;  // the last: a state out of range
  static size_t Slot(DeliveryState state);
  size_t Failed() const;

  std::vector<uint8_t> m_states;
  size_t m_counts[kSlots] = {};
};
