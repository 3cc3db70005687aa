// The counts of the status bar, kept from one item's changes at a time.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/DeliveryTally.h"

namespace {

constexpr int kNoRecord = -2;  // not sent: no record
constexpr int kNoReport = -1;  // sent, no report yet

// An item as the list holds it: its state and, for a message that went out,
// the status of its one part's report.
struct Shown {
  // Not explicit: a row names a state alone where nothing was sent.
  Shown(DeliveryState shownState, int shownReport = kNoRecord)
      : state(shownState), report(shownReport) {}
  DeliveryState state;
  int report;
};

CListItem ItemOf(const Shown& shown) {
  CListItem item;
  item.m_state = shown.state;
  if (shown.report == kNoRecord) return item;
  CSendRecord record = CSendRecord::Confirmed({17}, "2026-12-08 17:30:05");
  if (shown.report != kNoReport) record.TakeReport(17, shown.report, "2026-12-08 17:30:09 +03:00");
  item.m_record = std::make_shared<const CSendRecord>(record);
  return item;
}

struct TallyCase {
  const char* name;
  std::vector<Shown> start;
  std::vector<std::pair<size_t, Shown>> changes;
  const char* progress;
  const char* summary;
};

TEST(DeliveryTally, CountsFollowEachChange) {
  const TallyCase cases[] = {
      {"a run under way", {Accepted, Accepted, Accepted}, {{0, {Sending}}, {0, {Sent}}, {1, {Sending}}},
       "Отправлено 1 из 3",
       "Итог: отправлено 1 из 3; ошибок: 0, дублей: 0, без подтверждения: 0, не отправлено: 1"},
      {"numbers sent before count; a port error retried and sent counts once",
       {Sent, Accepted, Accepted, Accepted},
       {{1, {Sending}}, {1, {PortError}}, {1, {Sending}}, {1, {Sent}}, {2, {Sending}},
        {2, {SendError}}, {3, {Duplicate}}},
       "Отправлено 2 из 4, ошибок: 1",
       "Итог: отправлено 2 из 4; ошибок: 1, дублей: 1, без подтверждения: 0"},
      {"every outcome", {Accepted, Accepted, Accepted, Accepted, Accepted},
       {{0, {Unconfirmed}}, {1, {StopListed}}, {2, {PortError}}, {3, {Sent}}, {4, {SendError}}},
       "Отправлено 1 из 5, ошибок: 2, без подтверждения: 1, в стоп-листе: 1",
       "Итог: отправлено 1 из 5; ошибок: 2, дублей: 0, без подтверждения: 1, в стоп-листе: 1"},
      {"reports, one replacing another; a report of a number no longer sent counts no more",
       {Accepted, Accepted, Accepted, Accepted, {Sent, 0x00}},
       {{0, {Sent, kNoReport}}, {1, {Sent, 0x00}}, {2, {Sent, 0x46}}, {3, {Sent, 0x20}},
        {0, {Sent, 0x20}}, {0, {Sent, 0x00}}, {4, {Sending, 0x00}}, {4, {SendError, 0x00}}},
       "Отправлено 4 из 5, ошибок: 1, доставлено: 2",
       "Итог: отправлено 4 из 5; ошибок: 1, дублей: 0, без подтверждения: 0; доставлено: 2, "
       "не доставлено: 1, ожидают доставки: 1"},
      {"sent before with a report, counted at the start", {{Sent, 0x46}, {Sent, kNoReport}}, {},
       "Отправлено 2 из 2",
       "Итог: отправлено 2 из 2; ошибок: 0, дублей: 0, без подтверждения: 0; доставлено: 0, "
       "не доставлено: 1"},
      {"an index beyond the list and a damaged state",
       {Accepted, Accepted},
       {{7, {Sent}}, {0, {static_cast<DeliveryState>(99)}}, {1, {Sent}}},
       "Отправлено 1 из 2",
       "Итог: отправлено 1 из 2; ошибок: 0, дублей: 0, без подтверждения: 0"},
      {"an empty list", {}, {{0, {Sent}}}, "Отправлено 0 из 0",
       "Итог: отправлено 0 из 0; ошибок: 0, дублей: 0, без подтверждения: 0"},
  };
  for (const TallyCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<CListItem> items;
    for (const Shown& shown : c.start) items.push_back(ItemOf(shown));
    CDeliveryTally tally;
    tally.Reset(items);
    for (const auto& change : c.changes) tally.Change(change.first, ItemOf(change.second));
    EXPECT_EQ(tally.ProgressText(), c.progress);
    EXPECT_EQ(tally.SummaryText(), c.summary);
  }
}

}  // namespace
