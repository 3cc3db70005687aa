// The delivery worker with a recording window and the simulated modem:
// states, progress texts, pauses, stop and shutdown, duplicates, failures.
#include <gtest/gtest.h>

#include <memory>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "DeliveryFixture.h"
#include "platform/ClaimFile.h"
#include "platform/Files.h"
#include "support/FastClock.h"
#include "support/LogFiles.h"
#include "support/SimProcess.h"

namespace {

using testing_support::SimProcess;
using Clock = std::chrono::steady_clock;

constexpr int kSimPort = 21;
const char kSending[] = "Идет отправка сообщений...";
const char kReady[] = "Готов";

class WorkerTest : public DeliveryFixture {
 protected:
  void SetUp() override {
    DeliveryFixture::SetUp();
    m_engine->m_port = kSimPort;
    m_engine->m_message = "Привет";
  }

  void AddNumbers(std::initializer_list<const char*> numbers) {
    for (const char* number : numbers) m_engine->AddItem(CListItem{number, Accepted, ""});
  }
  // The worker's own lines in today's "engine" log.
  std::vector<std::string> WorkerLog() const {
    return testing_support::LogTexts(m_dir.Path(), "engine", "DeliveryWorker");
  }
};

TEST_F(WorkerTest, StartAtTheEndReportsAndEndsWithoutTheModem) {
  AddNumbers({"79000000001"});
  Deliver(1);
  EXPECT_EQ(m_frame.Events(),
            (std::vector<std::string>{kSending, "started", "finished", kReady}));
  EXPECT_EQ(m_engine->m_thread.load(), nullptr);
  EXPECT_EQ(State(0), Accepted);
}

TEST_F(WorkerTest, EmptyListLeavesNoStaleHandle) {
  for (int run = 0; run < 20; ++run) Deliver();
  EXPECT_EQ(m_engine->m_thread.load(), nullptr);
}

TEST_F(WorkerTest, ItemsAlreadySentAreSkippedSilently) {
  AddNumbers({"79000000001", "79000000002"});
  for (CListItem& item : m_engine->m_items) item.m_state = Sent;
  Deliver();
  EXPECT_EQ(m_frame.Count("list"), 0);
  EXPECT_EQ(m_engine->m_position.load(), 2);
}

TEST_F(WorkerTest, EveryNumberIsSentAndMarkedAndAPauseOfNothingSaysNothing) {
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  m_engine->m_checkDuplicates = 1;
  AddNumbers({"79000000001", "79000000002"});
  Deliver();
  EXPECT_EQ(State(0), Sent);
  EXPECT_EQ(State(1), Sent);
  EXPECT_TRUE(Marked("79000000001"));
  EXPECT_TRUE(Marked("79000000002"));
  EXPECT_EQ(sim.Submissions().size(), 2u);
  EXPECT_EQ(m_frame.Count("Таймаут 0 сек ..."), 0) << "no line for a pause of 0";
  EXPECT_EQ(m_frame.Events().back(), kReady);
}

// The domestic 8 and a missing country code, with a Cyrillic text (UCS2):
// both go out to 7...
TEST_F(WorkerTest, RussianNumberFormsGoOutInTheInternationalForm) {
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  AddNumbers({"8 900 000-00-01", "9000000002"});
  Deliver();
  EXPECT_EQ(State(0), Sent);
  EXPECT_EQ(State(1), Sent);
  EXPECT_EQ(m_engine->m_items[0].m_number, "8 900 000-00-01") << "the list keeps it as loaded";
  const auto sent = sim.Submissions();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_NE(sent[0].pdu.find("0B919700000000F1"), std::string::npos) << sent[0].pdu;
  EXPECT_NE(sent[1].pdu.find("0B919700000000F2"), std::string::npos) << sent[1].pdu;
}

TEST_F(WorkerTest, EqualOrInvertedLimitsPauseExactlyTheMinimumWithoutADraw) {
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  // No pause follows the last number: four numbers, three pauses.
  AddNumbers({"79000000001", "79000000002", "79000000003", "79000000004"});
  m_engine->m_minPause = 1;
  m_engine->m_maxPause = 1;
  std::vector<std::string> pauses;
  m_frame.m_onStatus = [&](const std::string& text) {
    if (text.rfind("Таймаут", 0) != 0) return;
    pauses.push_back(text);
    // Limits for the next pause: inverted, then a full range whose draw
    // shows whether anything was drawn before (the first value from seed 1
    // gives r = 41).
    if (pauses.size() == 1) m_engine->m_maxPause = 0;
    if (pauses.size() == 2) m_engine->m_minPause = 0, m_engine->m_maxPause = 255;
    if (pauses.size() == 3) m_engine->BeginShutdown();
  };
  Deliver();
  EXPECT_EQ(pauses, (std::vector<std::string>{"Таймаут 1 сек ...", "Таймаут 1 сек ...",
                                              "Таймаут 41 сек ..."}));
}

TEST_F(WorkerTest, NegativeLimitsPauseNothing) {
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  AddNumbers({"79000000001"});
  m_engine->m_minPause = -5;
  m_engine->m_maxPause = -1;
  AddNumbers({"79000000002"});
  Deliver();
  for (const std::string& event : m_frame.Events()) EXPECT_EQ(event.rfind("Таймаут", 0), std::string::npos);
}

TEST_F(WorkerTest, ARefusedNumberFailsAloneAtOnceWithoutPauseOrMarker) {
  SimProcess sim(kSimPort, {"--submit", "1:cms:1"});
  ASSERT_TRUE(sim.Started());
  m_engine->m_checkDuplicates = 1;
  m_engine->m_minPause = 30;  // a pause after the error would hang the test
  AddNumbers({"79000000001", "79000000002"});
  m_frame.m_onStatus = [&](const std::string& text) {
    if (text.rfind("Таймаут", 0) == 0) m_engine->BeginShutdown();
  };
  Deliver();
  EXPECT_EQ(State(0), SendError);
  EXPECT_EQ(State(1), Sent);
  EXPECT_FALSE(Marked("79000000001"));
  EXPECT_TRUE(Marked("79000000002"));
  EXPECT_EQ(m_engine->m_items[0].m_cause, "+CMS ERROR: 1 (unassigned number)");
  EXPECT_EQ(m_engine->m_items[1].m_cause, "");
}

// A SIM waiting for its PIN refuses every number at once: the modem is at
// fault, not the numbers. None fails; the status names the modem and the
// cause, the modem rests, and once the SIM is unlocked the list goes on.
TEST_F(WorkerTest, APinLockedSimFailsNoNumberAndTheListGoesOnOnceUnlocked) {
  auto sim = std::make_unique<SimProcess>(kSimPort, std::vector<std::string>{"--profile", "pin-locked"});
  ASSERT_TRUE(sim->Started());
  m_engine->m_restSeconds = 1;
  AddNumbers({"79000000001", "79000000002"});
  const std::string refusal =
      "Модем COM" + std::to_string(kSimPort) + " отказал: +CMS ERROR: 311 (SIM PIN required)";
  DeliveryState inRest = Accepted;
  std::string cause;
  m_frame.m_onStatus = [&](const std::string& text) {
    if (text != refusal) return;
    inRest = State(0);
    cause = m_engine->ItemSnapshot(0).m_cause;
    sim.reset();  // the old one first: it unlinks its port when it ends
    sim = std::make_unique<SimProcess>(kSimPort);  // the PIN entered
  };
  Deliver();
  EXPECT_EQ(inRest, PortError) << "the number waits for the modem, it did not fail";
  EXPECT_EQ(cause, "+CMS ERROR: 311 (SIM PIN required)");
  EXPECT_EQ(State(0), Sent);
  EXPECT_EQ(State(1), Sent);
  EXPECT_EQ(m_frame.Count(refusal), 1);
}

// Passing trouble (a busy network) is tried again after a rest, the same
// number first.
TEST_F(WorkerTest, PassingRefusalsAreTriedAgain) {
  SimProcess sim(kSimPort, {"--submit", "1:cms:42", "--submit", "2:cms:41"});
  ASSERT_TRUE(sim.Started());
  m_engine->m_restSeconds = 1;
  AddNumbers({"79000000001", "79000000002"});
  Deliver();
  EXPECT_EQ(State(0), Sent) << "the third try went out";
  EXPECT_EQ(State(1), Sent);
  const auto sent = sim.Submissions();
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_EQ(testing_support::DestinationOf(sent[2].pdu), testing_support::DestinationOf(sent[0].pdu));
}

// TP-MR wraps round through 0: every number goes out once, is marked, and is
// a duplicate on the next run.
TEST_F(WorkerTest, ListOverAWrappingReferenceSendsEveryNumberOnce) {
  SimProcess sim(kSimPort, {"--profile", "wrapping"});
  ASSERT_TRUE(sim.Started());
  m_engine->m_checkDuplicates = 1;
  const auto numbers = {"79000000001", "79000000002", "79000000003", "79000000004"};
  AddNumbers(numbers);
  Deliver();
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(State(i), Sent);
  m_engine->ClearList();
  AddNumbers(numbers);
  Deliver();
  auto sent = sim.Submissions();
  ASSERT_EQ(sent.size(), 4u);
  const char* answers[] = {"ok 254", "ok 255", "ok 0", "ok 1"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(sent[i].answer, answers[i]);
    EXPECT_EQ(State(i), Duplicate) << "marked on the first run";
  }
}

TEST_F(WorkerTest, DuplicateCheckAcrossTwoRunsOnAndOff) {
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  m_engine->m_checkDuplicates = 1;
  AddNumbers({"+7 (900) 000-00-01"});
  Deliver();
  ASSERT_EQ(State(0), Sent);

  m_engine->ClearList();
  AddNumbers({"79000000001"});  // same digits, another run
  Deliver();
  EXPECT_EQ(State(0), Duplicate);
  EXPECT_EQ(sim.Submissions().size(), 1u);

  m_engine->m_checkDuplicates = 0;
  m_engine->ClearList();
  AddNumbers({"79000000001"});
  Deliver();
  EXPECT_EQ(State(0), Sent);
  EXPECT_EQ(sim.Submissions().size(), 2u);
}

// What the marker folder holds before the delivery of 79000000001.
enum class Folder { AbandonedClaim, AbandonedClaimWithoutLine, MarkerAndAbandonedClaim, AFile };

struct ClaimCase {
  const char* what;
  Folder folder;
  bool resend;  // the operator asked to send unconfirmed numbers
  DeliveryState state;
  size_t submissions;
  const char* causeStart;  // 1251
  const char* logged;      // the start of the worker's line in the "engine" log; "": none
};

const ClaimCase kClaimCases[] = {
    {"a run died holding it", Folder::AbandonedClaim, false, Unconfirmed, 0,
     "Отправка прервана, сообщение могло уйти: 4242 elsewhere", "79000000001 unconfirmed: "},
    {"a run died holding it, before its line", Folder::AbandonedClaimWithoutLine, false,
     Unconfirmed, 0, "Отправка прервана", "79000000001 unconfirmed: "},
    {"a run died holding it, resent as asked", Folder::AbandonedClaim, true, Sent, 1, "",
     "79000000001 sent again: "},
    {"a run died after its marker", Folder::MarkerAndAbandonedClaim, true, Duplicate, 0, "", ""},
    {"PHONES is a file", Folder::AFile, false, SendError, 0, "Папка маркеров недоступна: ",
     "79000000001 not sent: no claim in "},
};

TEST_F(WorkerTest, ClaimsLeftInTheMarkerFolderDecideWhatIsSent) {
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  for (const ClaimCase& row : kClaimCases) {
    SCOPED_TRACE(row.what);
    testing_support::TempDir dir;  // a marker folder of the row's own
    const std::string phones = dir.File("PHONES");
    const std::string claim = phones + platform::kPathSeparator + "79000000001.claim";
    const bool claimLeft = row.folder != Folder::AFile;
    const std::string line = row.folder == Folder::AbandonedClaimWithoutLine
                                 ? ""
                                 : "4242 elsewhere 2026-01-05 10:00:00,000 #7\n";
    platform::AppendFile file;
    ASSERT_TRUE(claimLeft ? platform::CreateDir(phones) && file.Open(claim) : file.Open(phones));
    file.Write(line.data(), line.size());
    file.Close();
    if (row.folder == Folder::MarkerAndAbandonedClaim) {
      ASSERT_TRUE(platform::CreateNewEmptyFile(phones + platform::kPathSeparator + "79000000001"));
    }
    const size_t before = sim.Submissions().size();
    const size_t linesBefore = WorkerLog().size();
    m_engine->ClearList();
    AddNumbers({"79000000001"});
    m_engine->m_markerFolder = phones;
    m_engine->m_checkDuplicates = 1;
    m_engine->m_resendUnconfirmed = row.resend;
    Deliver();
    EXPECT_EQ(State(0), row.state);
    EXPECT_EQ(sim.Submissions().size() - before, row.submissions);
    EXPECT_EQ(m_engine->m_items[0].m_cause.rfind(row.causeStart, 0), 0u)
        << m_engine->m_items[0].m_cause;
    EXPECT_EQ(platform::PathExists(claim), claimLeft && row.state != Sent) << "taken over, removed";
    const std::vector<std::string> logged = WorkerLog();
    if (*row.logged == '\0') {
      EXPECT_EQ(logged.size(), linesBefore);
    } else {
      ASSERT_EQ(logged.size(), linesBefore + 1);
      EXPECT_EQ(logged.back().rfind(row.logged, 0), 0u) << logged.back();
    }
  }
}

// The modem took the second message and no answer came: it fell silent, or
// the device vanished (a stick rebooting) and came back behind the same
// name. That message may be on its way: its number is neither failed nor
// given to a later capture, its claim stays and the next run leaves it be;
// the third number goes out once the modem answers again.
struct NoAnswerCase {
  const char* what;
  std::vector<std::string> sim;
  const char* numbers[3];
};

const NoAnswerCase kNoAnswerCases[] = {
    {"the modem fell silent", {"--submit", "2:silent"},
     {"79000000001", "79000000002", "79000000003"}},
    {"the stick rebooted, back after 3 s", {"--profile", "rebooting-stick"},
     {"79000000004", "79000000005", "79000000006"}},
};

TEST_F(WorkerTest, AMessageWithoutAnswerKeepsItsClaimAcrossRunsAndTheListGoesOn) {
  m_engine->m_confirmLimitMs = 1000;
  m_engine->m_restSeconds = 1;
  m_engine->m_checkDuplicates = 1;
  for (const NoAnswerCase& row : kNoAnswerCases) {
    SCOPED_TRACE(row.what);
    SimProcess sim(kSimPort, row.sim);
    ASSERT_TRUE(sim.Started());
    for (int run = 0; run < 2; ++run) {
      m_engine->ClearList();
      for (const char* number : row.numbers) m_engine->AddItem(CListItem{number, Accepted, ""});
      Deliver();
      const DeliveryState answered = run == 0 ? Sent : Duplicate;
      EXPECT_EQ(State(0), answered) << run;
      EXPECT_EQ(State(1), Unconfirmed) << run;
      EXPECT_EQ(State(2), answered) << run;
    }
    const std::vector<testing_support::SimSubmission> sent = sim.Submissions();
    ASSERT_EQ(sent.size(), 3u) << "each number once";
    EXPECT_TRUE(sent[1].answer == "silent" || sent[1].Mark("rebooted") == "1") << sent[1].answer;
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(testing_support::DestinationOf(sent[i].pdu), row.numbers[i]);
    }
    EXPECT_FALSE(Marked(row.numbers[1]));
    EXPECT_TRUE(m_engine->Markers().IsUnconfirmed(row.numbers[1]));
    EXPECT_TRUE(Marked(row.numbers[2]));
  }
}

// Another process has the number in hand: this one sends the others, looks
// again later and finds it marked.
TEST_F(WorkerTest, ANumberAnotherProcessHoldsIsLeftToIt) {
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  m_engine->m_checkDuplicates = 1;
  AddNumbers({"79000000001", "79000000002"});
  const CMarkerStore markers = m_engine->Markers();
  CNumberClaim elsewhere;
  std::string detail;
  ASSERT_EQ(markers.Claim("79000000001", false, elsewhere, detail), ClaimOutcome::Claimed);
  m_frame.m_onList = [&] {
    if (State(1) == Sent) elsewhere.Confirm();  // the other process's modem took it
  };
  Deliver();
  EXPECT_EQ(State(0), Duplicate);
  EXPECT_EQ(State(1), Sent);
  ASSERT_EQ(sim.Submissions().size(), 1u);
}

TEST_F(WorkerTest, StopDuringTheCountdownEndsWithinASecond) {
  m_engine->m_port = 0;  // nothing can be captured
  AddNumbers({"79000000001"});
  Clock::time_point stopped;
  m_frame.m_onStatus = [&](const std::string& text) {
    if (text.rfind("Ошибка порта, повторный запуск через 9", 0) == 0 &&
        stopped == Clock::time_point()) {
      stopped = Clock::now();
      m_engine->StopDelivery();
    }
  };
  Deliver();
  auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - stopped);
  EXPECT_LT(took.count(), 1500);
  EXPECT_EQ(State(0), PortError);
  EXPECT_EQ(m_frame.Count("Ошибка порта, повторный запуск через 10 сек..."), 1);
}

// A stop in the last second of the countdown: no capture and no send after
// it, even though the modem would now answer.
TEST_F(WorkerTest, StopInTheLastSecondOfTheCountdownCapturesNoMore) {
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  m_engine->m_port = 0;  // the first capture fails
  AddNumbers({"79000000001"});
  m_frame.m_onStatus = [&](const std::string& text) {
    if (text == "Ошибка порта, повторный запуск через 1 сек...") {
      m_engine->m_port = kSimPort;
      m_engine->StopDelivery();
    }
  };
  Deliver();
  EXPECT_EQ(State(0), PortError);
  EXPECT_TRUE(sim.Submissions().empty());
  EXPECT_EQ(sim.Transcript().find("IN "), std::string::npos) << "the modem was never touched";
}

TEST_F(WorkerTest, PortErrorRetriesTheSameNumberUntilStopped) {
  testing_support::FastClock fast(50);  // a silent modem's 10 s limit passes in 0.2 s
  SimProcess sim(kSimPort, {"--silent"});
  ASSERT_TRUE(sim.Started());
  AddNumbers({"79000000001", "79000000002"});
  StopAtCountdown(2);
  Deliver();
  EXPECT_EQ(State(0), PortError);
  EXPECT_EQ(State(1), Accepted) << "the worker never went on to the next number";
  EXPECT_EQ(m_frame.Count("Остановка..."), 1);
}

TEST_F(WorkerTest, StopDuringAPauseLetsItRunOut) {
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  m_engine->m_minPause = 1;
  m_engine->m_maxPause = 1;
  AddNumbers({"79000000001", "79000000002"});
  Clock::time_point stopped;
  m_frame.m_onStatus = [&](const std::string& text) {
    if (text == "Таймаут 1 сек ...") {
      stopped = Clock::now();
      m_engine->StopDelivery();
    }
  };
  Deliver();
  auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - stopped);
  EXPECT_GE(took.count(), 900);
  EXPECT_EQ(State(0), Sent);
  EXPECT_EQ(State(1), Accepted);
  std::vector<std::string> events = m_frame.Events();
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events[events.size() - 3], "Остановка...") << "no word of sending after a stop";
}

TEST_F(WorkerTest, ShutdownCutsALongPause) {
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  m_engine->m_minPause = 600;
  m_engine->m_maxPause = 600;
  AddNumbers({"79000000001", "79000000002"});
  m_engine->m_position = 0;
  ASSERT_NE(m_engine->StartDelivery(), nullptr);
  EXPECT_EQ(m_engine->StartDelivery(), nullptr) << "one worker at a time";
  while (m_frame.Count("Таймаут 600 сек ...") == 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  auto start = Clock::now();
  m_engine->BeginShutdown();
  ASSERT_TRUE(m_engine->WaitForWorker(5000));
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(),
            1000);
  EXPECT_EQ(State(0), Sent);
  EXPECT_EQ(State(1), Accepted);
}

TEST_F(WorkerTest, ExceptionInTheLoopEndsTheDeliveryInOrder) {
  AddNumbers({"79000000001"});
  m_engine->m_port = 0;
  m_frame.m_onList = [] { throw std::runtime_error("window gone"); };
  Deliver();
  std::vector<std::string> events = m_frame.Events();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[events.size() - 2], "finished");
  EXPECT_EQ(events.back(), kReady);
  EXPECT_EQ(m_engine->m_thread.load(), nullptr);
  EXPECT_EQ(State(0), Sending) << "the state last set stays";
}

TEST_F(WorkerTest, TeardownDuringADeliveryWaitsAndSavesTheSettings) {
  m_engine->m_port = 0;
  m_engine->m_baudRate = 9600;
  AddNumbers({"79000000001"});
  m_engine->m_position = 0;
  ASSERT_NE(m_engine->StartDelivery(), nullptr);
  while (m_frame.Count("list") < 2) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  m_engine->Teardown();
  EXPECT_EQ(m_engine->m_thread.load(), nullptr);
  std::string settings;
  ASSERT_TRUE(platform::ReadWholeFile(m_dir.File("varnek.xml"), settings));
  EXPECT_NE(settings.find("9600"), std::string::npos);
}

}  // namespace
