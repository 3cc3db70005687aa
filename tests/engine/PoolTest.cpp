// Several modems over one list, each a simulator of its own: every number
// goes out once, a modem that fails gives its number to the others, twins in
// the list go out once, a stop lets every message on the line finish.
#include <gtest/gtest.h>

#include <algorithm>

#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "DeliveryFixture.h"
#include "support/FastClock.h"
#include "support/SimProcess.h"

namespace {

using testing_support::DestinationOf;
using testing_support::SimProcess;

constexpr int kFirstPort = 51;
// COM numbers that no device answers to: a capture fails at once.
constexpr int kMissingPorts[] = {97, 98};

class PoolTest : public DeliveryFixture {
 protected:
  void SetUp() override {
    DeliveryFixture::SetUp();
    m_engine->m_message = "Hi";
  }

  // One simulator per entry, with those options, on ports from kFirstPort;
  // together the pool.
  bool StartModems(const std::vector<std::vector<std::string>>& options) {
    for (const std::vector<std::string>& extra : options) {
      const int port = kFirstPort + static_cast<int>(m_sims.size());
      m_sims.push_back(std::make_unique<SimProcess>(port, extra));
      if (!m_sims.back()->Started()) return false;
      m_engine->m_poolPorts.push_back(port);
    }
    return true;
  }
  // count numbers, each repeats times in a row.
  void AddNumbers(int count, int repeats = 1) {
    for (int n = 0; n < count; ++n) {
      for (int r = 0; r < repeats; ++r) {
        m_engine->AddItem(CListItem{std::to_string(79000100000LL + n), Accepted, ""});
      }
    }
  }
  // How often each number was taken ("ok ...") over every simulator, and
  // every answer per number.
  std::map<std::string, int> Taken() const {
    std::map<std::string, int> taken;
    for (const auto& sim : m_sims) {
      for (const auto& submission : sim->Submissions()) {
        if (submission.answer.rfind("ok ", 0) == 0) ++taken[DestinationOf(submission.pdu)];
      }
    }
    return taken;
  }
  size_t Submissions() const {
    size_t count = 0;
    for (const auto& sim : m_sims) count += sim->Submissions().size();
    return count;
  }
  // The items that showed PortError at some moment, seen from the window.
  void WatchPortErrors() {
    m_frame.m_onList = [this] {
      for (size_t i = 0; i < m_engine->m_items.size(); ++i) {
        if (State(i) == PortError) m_portErrors.insert(i);
      }
    };
  }
  size_t CountState(DeliveryState state) const {
    size_t count = 0;
    for (size_t i = 0; i < m_engine->m_items.size(); ++i) count += State(i) == state;
    return count;
  }

  std::vector<std::unique_ptr<SimProcess>> m_sims;
  std::set<size_t> m_portErrors;
};

TEST_F(PoolTest, FourModemsSendTwoHundredNumbersEachExactlyOnce) {
  ASSERT_TRUE(StartModems({{}, {}, {}, {}}));
  m_engine->m_checkDuplicates = 1;
  AddNumbers(200);
  Deliver();
  const std::map<std::string, int> taken = Taken();
  EXPECT_EQ(Submissions(), 200u);
  EXPECT_EQ(taken.size(), 200u);
  for (const CListItem& item : m_engine->m_items) {
    EXPECT_EQ(item.m_state, Sent) << item.m_number;
    EXPECT_EQ(taken.count(item.m_number) ? taken.at(item.m_number) : 0, 1) << item.m_number;
    EXPECT_TRUE(Marked(item.m_number)) << item.m_number;
  }
  for (const auto& sim : m_sims) EXPECT_FALSE(sim->Submissions().empty()) << "every modem had its share";
  EXPECT_EQ(m_frame.Count("started"), 1);
  EXPECT_EQ(m_frame.Count("finished"), 1);
  EXPECT_EQ(m_frame.Events().back(), "Готов");
}

TEST_F(PoolTest, SilentModemGivesItsNumbersToTheOthersAndTheRunEnds) {
  testing_support::FastClock fast(50);  // a silent modem's 10 s limit passes in 0.2 s
  ASSERT_TRUE(StartModems({{"--silent"}, {}, {}, {}}));
  AddNumbers(30);
  WatchPortErrors();
  Deliver();
  const std::map<std::string, int> taken = Taken();
  EXPECT_EQ(Submissions(), 30u);
  for (const CListItem& item : m_engine->m_items) {
    EXPECT_EQ(item.m_state, Sent) << item.m_number;
    EXPECT_EQ(taken.count(item.m_number) ? taken.at(item.m_number) : 0, 1) << item.m_number;
  }
  EXPECT_TRUE(m_sims[0]->Submissions().empty());
  EXPECT_FALSE(m_portErrors.empty()) << "the silent modem took numbers, and gave them back";
}

// The line drops in the middle of the third message (a modem reset, a
// cable pulled) and is back 3 s later: that message never reached the modem
// whole, so its number goes back, as does the next one whose capture fails,
// and the other modem sends them; after its countdown the modem sends again.
TEST_F(PoolTest, ModemThatDropsOutComesBackAfterItsCountdown) {
  testing_support::FastClock fast(20);  // the wait for the lost reply: 1.5 s
  ASSERT_TRUE(StartModems({{"--submit", "3:drop", "--drop-ms", "3000"}, {"--delay", "100"}}));
  AddNumbers(40);
  WatchPortErrors();
  Deliver();
  const std::vector<testing_support::SimSubmission> dropping = m_sims[0]->Submissions();
  ASSERT_GE(dropping.size(), 4u);
  EXPECT_EQ(dropping[2].answer, "dropped");
  EXPECT_EQ(dropping.back().answer.rfind("ok ", 0), 0u) << "it sends again";
  // Every number went out once, the dropped one too.
  EXPECT_EQ(CountState(Sent), 40u);
  const std::map<std::string, int> taken = Taken();
  for (const CListItem& item : m_engine->m_items) {
    const int count = taken.count(item.m_number) ? taken.at(item.m_number) : 0;
    EXPECT_EQ(count, item.m_state == Sent ? 1 : 0) << item.m_number;
  }
  ASSERT_FALSE(m_portErrors.empty());
  for (size_t i : m_portErrors) EXPECT_EQ(State(i), Sent) << "taken by the other modem";
}

// One modem's SIM waits for its PIN, another's network refuses every
// message: neither fails a number; they rest, and the healthy two send the
// whole list, each number once. Every line of theirs names its modem.
TEST_F(PoolTest, BadModemsFailNoNumberAndTheHealthyOnesSendTheList) {
  ASSERT_TRUE(StartModems({{"--profile", "pin-locked"}, {"--refuse", "+CMS ERROR: 38"}, {}, {}}));
  m_engine->m_restSeconds = 1;
  AddNumbers(24);
  std::vector<std::string> statuses;
  m_frame.m_onStatus = [&](const std::string& text) { statuses.push_back(text); };
  Deliver();
  EXPECT_EQ(CountState(Sent), 24u);
  EXPECT_EQ(CountState(SendError), 0u);
  const std::map<std::string, int> taken = Taken();
  EXPECT_EQ(taken.size(), 24u);
  for (const auto& number : taken) EXPECT_EQ(number.second, 1) << number.first;
  const std::string pinLocked = "COM" + std::to_string(m_engine->m_poolPorts[0]) +
                                ": Модем отказал: +CMS ERROR: 311 (SIM PIN required)";
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), pinLocked), statuses.end());
  for (const std::string& text : statuses) {
    if (text == "Идет отправка сообщений..." || text == "Готов") continue;
    EXPECT_EQ(text.rfind("COM", 0), 0u) << text;
  }
}

TEST_F(PoolTest, TwinsInTheListGoOutOnceWhenModemsReachThemTogether) {
  ASSERT_TRUE(StartModems({{}, {}, {}, {}}));
  m_engine->m_checkDuplicates = 1;
  AddNumbers(10, 4);  // each number four times in a row: one per modem
  Deliver();
  const std::map<std::string, int> taken = Taken();
  EXPECT_EQ(Submissions(), 10u);
  EXPECT_EQ(taken.size(), 10u);
  for (const auto& number : taken) {
    EXPECT_EQ(number.second, 1) << number.first;
    EXPECT_TRUE(Marked(number.first));
  }
  EXPECT_EQ(CountState(Sent), 10u);
  EXPECT_EQ(CountState(Duplicate), 30u);
}

TEST_F(PoolTest, StopWithAMessageOnEveryLineFinishesThemAndTakesNoMore) {
  ASSERT_TRUE(StartModems({{"--delay", "300"}, {"--delay", "300"}, {"--delay", "300"},
                           {"--delay", "300"}}));
  AddNumbers(12);
  bool stopped = false;
  m_frame.m_onList = [&] {
    if (!stopped && CountState(Sending) == 4) {
      stopped = true;
      m_engine->StopDelivery();
    }
  };
  Deliver();
  ASSERT_TRUE(stopped);
  EXPECT_EQ(Submissions(), 4u);
  EXPECT_EQ(Taken().size(), 4u);
  EXPECT_EQ(CountState(Sent), 4u);
  EXPECT_EQ(CountState(Accepted), 8u);
  EXPECT_EQ(m_frame.Count("Остановка..."), 1);
}

// With every modem failing, each tries again a number given back rather than
// a new one: the list waits at the numbers the modems first took (one each
// at most), as with one modem, instead of running through into port errors.
TEST_F(PoolTest, EveryModemInPortErrorKeepsTheListWhereItIs) {
  for (int port : kMissingPorts) m_engine->m_poolPorts.push_back(port);
  AddNumbers(5);
  StopAtCountdown(2);
  Deliver();
  EXPECT_EQ(State(0), PortError);
  for (size_t i = std::size(kMissingPorts); i < 5; ++i) EXPECT_EQ(State(i), Accepted) << i;
}

}  // namespace
