#pragma once
// CDeliveryTally: how many numbers of the list are in each state, and what
// the status reports of those sent say, kept up to date from the changes the
// delivery (and the listening after it) reports, one item at a time, so that
// the progress line costs the same on a list of ten numbers or of a million.
// It remembers what it counted for every item (a byte each).
//
// One thread (the window's).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ListItem.h"

class CDeliveryTally {
 public:
  // Counts the items afresh (the start of a delivery).
  void Reset(const std::vector<CListItem>& items);
  // Item index is now as item says; what was counted for it before is
  // counted out. An index beyond the items counted at Reset is ignored.
  void Change(size_t index, const CListItem& item);

  size_t Count(DeliveryState state) const;
  // Numbers sent whose reports say so (None: sent with no report yet, and
  // every number not sent).
  size_t Count(ReportOutcome outcome) const;
  size_t Total() const { return m_items.size(); }

  // During a run: "Отправлено 3 из 10", then the failed, unconfirmed,
  // stop-listed and delivered numbers when there are any (1251).
  std::string ProgressText() const;
  // At the end: "Итог: отправлено 8 из 10; ошибок: 1, дублей: 1, без
  // подтверждения: 0", then the stop-listed and the numbers left unsent
  // when there are any, and once reports came "; доставлено: 6, не
  // доставлено: 1" (and those still pending) (1251).
  std::string SummaryText() const;

 private:
  static constexpr size_t kSlots = kDeliveryStateCount + 1;  // the last: a state out of range
  static constexpr size_t kOutcomes = 4;
  static uint8_t Packed(const CListItem& item);
  // Counts an item in (or out).
  void Add(uint8_t packed, bool in);
  size_t Failed() const;

  // Per item: the state's slot in the low half, the report outcome above.
  std::vector<uint8_t> m_items;
  size_t m_counts[kSlots] = {};
  size_t m_outcomes[kOutcomes] = {};
};
