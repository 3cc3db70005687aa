// The end of a run: what is left, how to go on, and the list of what is
// left that the next run reads back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Engine.h"
#include "support/TempDir.h"
#include "tools/varnek-send/SendMessages.h"
#include "tools/varnek-send/SendReport.h"

namespace {

struct AdviceCase {
  const char* what;
  std::vector<DeliveryState> states;  // of the numbers 79000000001, 79000000002, ...
  size_t first;                       // --from minus 1
  bool check;
  const char* advice;  // "" for none
};

TEST(SendReport, TheEndOfARunSaysHowToGoOnWithWhatIsLeft) {
  const AdviceCase cases[] = {
      {"all done", {Sent, Duplicate, SendError, StopListed, Unconfirmed}, 0, false, ""},
      {"stopped after the first", {Sent, Accepted, Accepted}, 0, false,
       "2 numbers left: go on with the same command and --from 2"},
      {"stopped in the countdown", {PortError, Accepted}, 0, false,
       "2 numbers left: go on with the same command and --from 1"},
      {"in hand when the run died", {Sent, Sending}, 0, false,
       "1 number left: go on with the same command and --from 2"},
      {"numbers before --from are no part of it", {Accepted, Sent, Accepted}, 1, false,
       "1 number left: go on with the same command and --from 3"},
      {"a pool left gaps, the check off", {Sent, Accepted, Sent, PortError}, 0, false,
       "numbers after number 2 went out, and with the duplicate check off --from 2 would send "
       "them again: the table shows the 2 left"},
      {"unconfirmed after the first left", {Accepted, Unconfirmed}, 0, false,
       "numbers after number 1 went out"},
      {"a pool left gaps, the markers stop a second send", {Sent, Accepted, Sent, Accepted}, 0,
       true, "2 numbers left: go on with the same command and --from 2"},
      {"refusals after the first left are sent again, no harm", {Accepted, SendError, Duplicate},
       0, false, "1 number left: go on with the same command and --from 1"},
  };
  SetLanguage(Language::English);
  for (const AdviceCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<CListItem> items;
    for (DeliveryState state : c.states) {
      items.push_back({"7900000000" + std::to_string(items.size() + 1), state, ""});
    }
    const std::string advice = send_report::Advice(send_report::LeftOver(items, c.first), c.check);
    EXPECT_EQ(advice.substr(0, std::string(c.advice).size()), c.advice) << advice;
    EXPECT_EQ(advice.empty(), *c.advice == '\0');
  }
}

// What --left writes, --list reads back as the same numbers with the same
// texts; what was finished is not in it.
TEST(SendReport, TheListOfWhatIsLeftReadsBackAsTheSameItems) {
  testing_support::TempDir dir;
  dir.UseAsProgramFolder();
  const std::vector<CListItem> items = {
      {"79123456700", Sent, "done"},
      {"79123456701", Accepted, "\xC8\xE2\xE0\xED \xC8\xE2\xE0\xED\xEE\xE2"},  // Иван Иванов
      {"44207946095", PortError, "8"},                                         // cut at 11 digits
      {"12", Accepted, "\xDF" "3"},                                            // a letter inside
      {"71234567890", Sending, "(\xC8\xE2\xE0\xED)"},
      {"89123456705", Accepted, ""},
      {"79123456706", Duplicate, ""},
  };
  const std::string list = send_report::LeftList(items, 1);
  CEngine engine;
  engine.LoadListText(list);
  ASSERT_EQ(engine.m_items.size(), 5u) << list;
  for (size_t i = 0; i < engine.m_items.size(); ++i) {
    EXPECT_EQ(engine.m_items[i].m_number, items[i + 1].m_number) << i;
    EXPECT_EQ(engine.m_items[i].m_text, items[i + 1].m_text) << i;
  }
  EXPECT_EQ(list.substr(0, 13), "79123456701 \xC8");
  EXPECT_EQ(send_report::LeftList(items, 6), "");
  engine.Teardown(SettingsAtTeardown::Keep);
}

}  // namespace
