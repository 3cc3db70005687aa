// The modem search over every port at once: which speeds a port is tried at
// (with a stand-in for the port), that the ports are tried side by side and
// a stop ends them, and what a real try makes of the simulated modem's
// answers.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "modem/PortSearch.h"
#include "support/FastClock.h"
#include "support/LogFiles.h"
#include "support/SimProcess.h"
#include "support/TempDir.h"

namespace {

using testing_support::SimProcess;

struct Try {
  int port;
  int baudRate;
  uint32_t limitMs;
  bool operator==(const Try& other) const {
    return port == other.port && baudRate == other.baudRate && limitMs == other.limitMs;
  }
};

void PrintTo(const Try& t, std::ostream* out) {
  *out << "COM" << t.port << "@" << t.baudRate << "/" << t.limitMs;
}

constexpr uint32_t kFirst = CPortSearch::kReplyLimitMs;
constexpr uint32_t kBrief = CPortSearch::kSpeedLimitMs;

// A port that answers as told at given speeds, and as `otherwise` at the rest.
struct FakePort {
  PortAnswer otherwise;
  std::map<int, PortAnswer> atSpeed;
};

struct SpeedCase {
  const char* name;
  int baudRate;  // asked for
  FakePort port;
  PortAnswer answer;
  int answeredAt;
  std::vector<Try> tries;
};

TEST(PortSearch, SpeedsTriedFollowTheFirstAnswer) {
  const SpeedCase cases[] = {
      {"a modem at the speed asked for", 115200, {PortAnswer::Modem, {}}, PortAnswer::Modem, 115200,
       {{7, 115200, kFirst}}},
      {"silence costs one wait, at one speed", 115200, {PortAnswer::Silent, {}}, PortAnswer::Silent,
       115200, {{7, 115200, kFirst}}},
      {"a port that does not open is not tried again", 9600, {PortAnswer::CannotOpen, {}},
       PortAnswer::CannotOpen, 9600, {{7, 9600, kFirst}}},
      {"ERROR is a reply: the speed is right", 115200, {PortAnswer::Refused, {}},
       PortAnswer::Refused, 115200, {{7, 115200, kFirst}}},
      {"garbage: the common speeds, briefly, until one answers", 115200,
       {PortAnswer::Garbage, {{38400, PortAnswer::Modem}}}, PortAnswer::Modem, 38400,
       {{7, 115200, kFirst}, {7, 57600, kBrief}, {7, 38400, kBrief}}},
      {"garbage at the port's own speed: every common speed", 0,
       {PortAnswer::Garbage, {{9600, PortAnswer::Modem}}}, PortAnswer::Modem, 9600,
       {{7, 0, kFirst}, {7, 115200, kBrief}, {7, 57600, kBrief}, {7, 38400, kBrief},
        {7, 19200, kBrief}, {7, 9600, kBrief}}},
      {"garbage at every speed: the speed asked for is not tried twice", 19200,
       {PortAnswer::Garbage, {{57600, PortAnswer::Silent}}}, PortAnswer::Garbage, 19200,
       {{7, 19200, kFirst}, {7, 115200, kBrief}, {7, 57600, kBrief}, {7, 38400, kBrief},
        {7, 9600, kBrief}}},
      {"garbage, then ERROR at another speed", 115200,
       {PortAnswer::Garbage, {{57600, PortAnswer::Refused}}}, PortAnswer::Refused, 57600,
       {{7, 115200, kFirst}, {7, 57600, kBrief}}},
  };
  for (const SpeedCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Try> tries;
    std::vector<std::pair<int, int>> announced;
    CPortSearch search([&](int port, int baudRate, uint32_t limitMs, const std::atomic<bool>&) {
      tries.push_back({port, baudRate, limitMs});
      const auto at = c.port.atSpeed.find(baudRate);
      CPortFinding finding;
      finding.m_port = port;
      finding.m_baudRate = baudRate;
      finding.m_answer = at == c.port.atSpeed.end() ? c.port.otherwise : at->second;
      return finding;
    });
    int found = 0;
    CPortSearch::Events events;
    events.trying = [&](int port, int baudRate) { announced.emplace_back(port, baudRate); };
    events.found = [&](const CPortFinding&) { ++found; };
    search.Start({7}, c.baudRate, events);
    const std::vector<CPortFinding> findings = search.Wait();
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].m_port, 7);
    EXPECT_EQ(findings[0].m_answer, c.answer);
    EXPECT_EQ(findings[0].m_baudRate, c.answeredAt);
    EXPECT_EQ(tries, c.tries);
    ASSERT_EQ(announced.size(), tries.size()) << "every try is announced before it starts";
    for (size_t i = 0; i < tries.size(); ++i) EXPECT_EQ(announced[i].second, tries[i].baudRate);
    EXPECT_EQ(found, 1);
  }
}

// Each port's try waits until every port's try has begun: tried one after
// another, the first would never see the others and give up.
TEST(PortSearch, PortsAreTriedSideBySideOnceEachAndAStopEndsThem) {
  std::mutex lock;
  std::condition_variable changed;
  std::vector<int> begun;
  CPortSearch search([&](int port, int baudRate, uint32_t, const std::atomic<bool>& stop) {
    std::unique_lock<std::mutex> guard(lock);
    begun.push_back(port);
    changed.notify_all();
    const bool together = changed.wait_for(guard, std::chrono::seconds(10), [&] { return begun.size() >= 3; });
    CPortFinding finding;
    finding.m_port = port;
    finding.m_baudRate = baudRate;
    finding.m_answer = together ? PortAnswer::Silent : PortAnswer::Garbage;
    if (port == 5) {
      changed.wait_for(guard, std::chrono::seconds(10), [&] { return stop.load(); });
      finding.m_answer = stop ? PortAnswer::Stopped : PortAnswer::Modem;
    }
    return finding;
  });
  search.Start({3, 4, 3, 0, 5}, 9600);
  {
    std::unique_lock<std::mutex> guard(lock);
    ASSERT_TRUE(changed.wait_for(guard, std::chrono::seconds(10), [&] { return begun.size() >= 3; }));
  }
  search.Stop();
  changed.notify_all();
  const std::vector<CPortFinding> findings = search.Wait();
  ASSERT_EQ(findings.size(), 3u);
  const int ports[] = {3, 4, 5};
  const PortAnswer answers[] = {PortAnswer::Silent, PortAnswer::Silent, PortAnswer::Stopped};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(findings[i].m_port, ports[i]);
    EXPECT_EQ(findings[i].m_answer, answers[i]) << "COM" << ports[i];
  }
  EXPECT_EQ(begun.size(), 3u) << "a port listed twice is tried once, port 0 never";
}

// A real try against the simulator; its limits pass fifty times faster.
TEST(PortSearch, RealTryReadsWhatThePortSends) {
  testing_support::TempDir folder;
  folder.UseAsProgramFolder();
  testing_support::FastClock fast(50);
  struct Case {
    const char* name;
    std::vector<std::string> simArgs;
    PortAnswer answer;
    int answeredAt;
  };
  const Case cases[] = {
      {"a modem", {}, PortAnswer::Modem, 115200},
      {"no modem", {"--silent"}, PortAnswer::Silent, 115200},
      {"refuses at", {"--command", "at:error"}, PortAnswer::Refused, 115200},
      // Its echo is a line a modem sends: the speed is right, the noise after
      // it is no reason to try others.
      {"an echo, then only noise",
       {"--command", "at:silent", "--urc", "\\xF0\\x81\\x93", "--urc-every", "100"},
       PortAnswer::Silent, 115200},
      {"a modem fixed at another speed", {"--fixed-speed", "19200"}, PortAnswer::Modem, 19200},
      {"a modem fixed at a speed none of the common ones", {"--fixed-speed", "4800"},
       PortAnswer::Garbage, 115200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimProcess sim(14, c.simArgs);
    ASSERT_TRUE(sim.Started());
    const std::vector<CPortFinding> findings = SearchPorts({14}, 115200);
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0].m_answer, c.answer) << sim.Transcript();
    EXPECT_EQ(findings[0].m_baudRate, c.answeredAt);
  }
  const std::vector<CPortFinding> none = SearchPorts({15}, 115200);
  ASSERT_EQ(none.size(), 1u);
  EXPECT_EQ(none[0].m_answer, PortAnswer::CannotOpen);
  EXPECT_FALSE(none[0].m_reason.empty());
  const std::vector<std::string> steps = testing_support::LogTexts(folder.Path(), "engine", "FindPort");
  ASSERT_FALSE(steps.empty());
  EXPECT_EQ(steps.back(), "failed...");
}

}  // namespace
