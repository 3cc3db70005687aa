// The counts of the status bar, kept from one item's changes at a time.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ui/DeliveryTally.h"

namespace {

struct TallyCase {
  const char* name;
  std::vector<DeliveryState> start;
  std::vector<std::pair<size_t, DeliveryState>> changes;
  const char* progress;
  const char* summary;
};

TEST(DeliveryTally, CountsFollowEachChange) {
  const TallyCase cases[] = {
      {"a run under way", {Accepted, Accepted, Accepted}, {{0, Sending}, {0, Sent}, {1, Sending}},
       "Отправлено 1 из 3",
       "Итог: отправлено 1 из 3; ошибок: 0, дублей: 0, без подтверждения: 0, не отправлено: 1"},
      {"numbers sent before count; a port error retried and sent counts once",
       {Sent, Accepted, Accepted, Accepted},
       {{1, Sending}, {1, PortError}, {1, Sending}, {1, Sent}, {2, Sending}, {2, SendError},
        {3, Duplicate}},
       "Отправлено 2 из 4, ошибок: 1",
       "Итог: отправлено 2 из 4; ошибок: 1, дублей: 1, без подтверждения: 0"},
      {"every outcome", {Accepted, Accepted, Accepted, Accepted, Accepted},
       {{0, Unconfirmed}, {1, StopListed}, {2, PortError}, {3, Sent}, {4, SendError}},
       "Отправлено 1 из 5, ошибок: 2",
       "Итог: отправлено 1 из 5; ошибок: 2, дублей: 0, без подтверждения: 1, в стоп-листе: 1"},
      {"an index beyond the list and a damaged state",
       {Accepted, Accepted},
       {{7, Sent}, {0, static_cast<DeliveryState>(99)}, {1, Sent}},
       "Отправлено 1 из 2",
       "Итог: отправлено 1 из 2; ошибок: 0, дублей: 0, без подтверждения: 0"},
      {"an empty list", {}, {{0, Sent}}, "Отправлено 0 из 0",
       "Итог: отправлено 0 из 0; ошибок: 0, дублей: 0, без подтверждения: 0"},
  };
  for (const TallyCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<CListItem> items(c.start.size());
    for (size_t i = 0; i < items.size(); ++i) items[i].m_state = c.start[i];
    CDeliveryTally tally;
    tally.Reset(items);
    for (const auto& change : c.changes) tally.Change(change.first, change.second);
    EXPECT_EQ(tally.ProgressText(), c.progress);
    EXPECT_EQ(tally.SummaryText(), c.summary);
  }
}

}  // namespace
