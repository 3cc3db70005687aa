// After the messages went out: status reports matched to their numbers in
// both routings, the results file, replies kept and a stop word honoured,
// the simulated modem playing the network.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DeliveryFixture.h"
#include "engine/StopWords.h"
#include "engine/RepliesFile.h"
#include "engine/ResultsFile.h"
#include "platform/Files.h"
#include "support/SimProcess.h"

namespace {

using testing_support::SimProcess;

constexpr int kSimPort = 23;

class ReportsTest : public DeliveryFixture {
 protected:
  void SetUp() override {
    DeliveryFixture::SetUp();
    m_engine->m_port = kSimPort;
    m_engine->m_message = "Hello";
    m_engine->m_requestReports = 1;
    m_engine->m_piecePause = 0;
  }
  void AddNumbers(std::initializer_list<const char*> numbers) {
    for (const char* number : numbers) m_engine->AddItem(CListItem{number, Accepted, ""});
  }
  std::vector<CResultRow> Results() const {
    std::vector<CResultRow> rows;
    EXPECT_TRUE(CResultsFile(m_engine->ResultsPath()).Read(rows)) << m_engine->ResultsPath();
    return rows;
  }
};

// Straight to the line (read while the port is held) or stored with a notice
// (read at the next capture, at the end of the list, while listening): every
// report reaches its number, a failed one with its status in words.
TEST_F(ReportsTest, EveryReportReachesItsNumberInBothRoutings) {
  for (const char* routing : {"reports-stored", "reports-straight"}) {
    SCOPED_TRACE(routing);
    m_engine->ClearList();
    SimProcess sim(kSimPort, {"--profile", routing, "--report-delay", "100:400",
                              "--report-status", "2:46"});
    ASSERT_TRUE(sim.Started());
    AddNumbers({"79000000001", "89000000002", "79000000003"});
    const int before = m_engine->CollectedCounts().reports;
    Deliver();
    m_engine->CollectReports(1500);
    EXPECT_EQ(ItemStateText(m_engine->ItemSnapshot(0)), std::string("Доставлен"));
    EXPECT_EQ(ItemStateText(m_engine->ItemSnapshot(1)), std::string("Не доставлен"));
    EXPECT_EQ(ItemStateText(m_engine->ItemSnapshot(2)), std::string("Доставлен"));
    const std::vector<CResultRow> rows = Results();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].number, "89000000002");
    EXPECT_EQ(rows[1].outcome, "Не доставлен");
    EXPECT_EQ(rows[1].cause, m_engine->ItemSnapshot(1).m_record->cause);
    EXPECT_NE(rows[1].cause.find("(0x46)"), std::string::npos) << rows[1].cause;
    EXPECT_EQ(rows[0].outcome, "Доставлен");
    EXPECT_FALSE(rows[0].record.deliveredAt.empty());
    EXPECT_EQ(m_engine->CollectedCounts().reports - before, 3);
  }
}

// A reply "Stop" is kept in the replies file and puts its sender on the stop
// list; the next run does not write to it. The stored message is deleted
// only after its line is written. (Latin: the simulator's arguments pass
// the Windows command line; varnek-send's test has a Cyrillic one.)
TEST_F(ReportsTest, AStopReplyIsKeptAndItsSenderNeverWrittenToAgain) {
  SimProcess sim(kSimPort, {"--profile", "reports-stored", "--stored-message",
                            "+79000000002:  Stop "});
  ASSERT_TRUE(sim.Started());
  AddNumbers({"79000000001"});
  Deliver();
  const std::vector<CReply> replies = CRepliesFile::ReadAll();
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].sender, "+79000000002");
  EXPECT_EQ(replies[0].text, "  Stop ");
  EXPECT_TRUE(m_engine->Markers().IsStopped("+7 900 000-00-02"));
  const auto events = sim.MemoryEvents();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().event, "deleted");

  m_engine->ClearList();
  AddNumbers({"79000000002", "79000000003"});
  Deliver();
  EXPECT_EQ(m_engine->ItemSnapshot(0).m_state, StopListed);
  EXPECT_EQ(m_engine->ItemSnapshot(1).m_state, Sent);
  EXPECT_EQ(sim.Submissions().size(), 2u) << "the one of the first run and 79000000003";
}

TEST(StopWordsTest, AReplyIsAStopWordTrimmedAndInAnyCase) {
  const struct {
    const char* text;  // 1251
    const char* words;
    bool stop;
  } cases[] = {
      {"\xD1\xD2\xCE\xCF", kDefaultStopWords, true},                // СТОП
      {" \xF1\xF2\xEE\xEF\r\n", kDefaultStopWords, true},           // стоп
      {"\xCE\xF2\xEF\xE8\xF1\xEA\xE0", kDefaultStopWords, true},    // Отписка
      {"Unsubscribe", kDefaultStopWords, true},
      {"stop it", kDefaultStopWords, false},
      {"\xD1\xEF\xE0\xF1\xE8\xE1\xEE", kDefaultStopWords, false},  // Спасибо
      {"", kDefaultStopWords, false},
      {"\xB8\xEB\xEA\xE0", "\xA8\xCB\xCA\xC0, NO", true},          // ёлка, ЁЛКА
      {"no", "\xA8\xCB\xCA\xC0, NO", true},
      {"STOP", "", false},
  };
  for (const auto& row : cases) {
    EXPECT_EQ(IsStopReply(row.text, row.words), row.stop) << row.text << " in " << row.words;
  }
}

}  // namespace
