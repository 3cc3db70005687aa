// varnek-send asked to stop (Ctrl-C, SIGTERM, SIGHUP) while it waits for a
// port, pauses or has a message on the line.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "send/posix/SendFolder.h"

namespace {

using namespace send_test;
using testing_support::SimProcess;

TEST(SendStop, CtrlCDuringPortErrorsStopsWith130) {
  SendFolder folder;
  SimProcess sim(kSimPort, {"--silent"});
  ASSERT_TRUE(sim.Started());
  // "Ошибка порта, повторный" — the countdown after the capture failed.
  const std::string countdown = kPortErrorUtf8 + ", ";
  auto t0 = std::chrono::steady_clock::now();
  const std::string left = folder.File("left.txt");
  WriteAll(left, "an earlier run's\r\n");
  RunResult run = folder.Run(
      Args(sim, {"--number", "79123456701", "--number", "79123456702", "--text", "Hello", "--left",
                 left}),
      {{SIGINT, [&](const std::string& err) { return Contains(err, countdown); }}});
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::steady_clock::now() - t0).count();
  EXPECT_EQ(run.status, 130) << run.err;
  EXPECT_TRUE(Contains(run.out, "79123456701\t" + kPortErrorUtf8 + "\t\n")) << run.out;
  EXPECT_TRUE(Contains(run.err, kReadyLine)) << run.err;
  EXPECT_EQ(ReadAll(left), "79123456701\r\n79123456702\r\n");
  EXPECT_TRUE(Contains(run.err, "varnek-send: the 2 numbers left are in " + left +
                                    ": go on with --list " + left))
      << run.err;
  // The capture's own limit (10 s) and at most one second of the countdown.
  EXPECT_LT(seconds, 14);
}

// "Таймаут N сек ..." of the pause after the first number.
std::string PauseText(const char* seconds) {
  return std::string("\xD0\xA2\xD0\xB0\xD0\xB9\xD0\xBC\xD0\xB0\xD1\x83\xD1\x82 ") + seconds;
}

struct PauseInterruptCase {
  const char* pause;
  int interrupts;
  int minSeconds;  // once: the pause runs out; twice: it is cut short
  int maxSeconds;
};

TEST(SendStop, CtrlCDuringAPauseStopsAfterItOrAtOnceWhenTwice) {
  const PauseInterruptCase cases[] = {{"3", 1, 2, 6}, {"30", 2, 0, 6}};
  for (const PauseInterruptCase& c : cases) {
    SendFolder folder;
    const SettingsFile settings(folder, kSettingsFile);
    SimProcess sim(kSimPort);
    ASSERT_TRUE(sim.Started());
    const std::string pause = PauseText(c.pause);
    const std::vector<SignalStep> interrupts(
        c.interrupts, {SIGINT, [&](const std::string& err) { return Contains(err, pause); }});
    auto t0 = std::chrono::steady_clock::now();
    RunResult run = folder.Run({"--device", sim.LinkPath(), "--pause", c.pause, "--number",
                                "79123456701", "--number", "79123456702", "--text", "Hello"},
                               interrupts);
    const auto seconds = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - t0).count() / 1000.0;
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_TRUE(Contains(run.out, "79123456701\t" + kSentUtf8 + "\t\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "79123456702\t" + kAcceptedUtf8 + "\t\n")) << run.out;
    EXPECT_TRUE(Contains(run.err, "1 number left: go on with the same command and --from 2\n"))
        << run.err;
    EXPECT_GE(seconds, c.minSeconds) << c.pause;
    EXPECT_LT(seconds, c.maxSeconds) << c.pause;
    EXPECT_EQ(sim.Submissions().size(), 1u);
    EXPECT_TRUE(settings.Unchanged());
  }
}

struct StopCase {
  std::vector<int> signals;  // the first once a part is out, the rest at once
  int status;
};

// A request of any kind, and any number of further ones, while the second
// part of a message is on the line: the message is finished, marked and
// reported, and nothing more is sent.
TEST(SendStop, StopRequestsFinishTheMultipartMessageOnTheLine) {
  std::string message;
  for (int i = 0; i < 12; ++i) message += std::string(kPrivet) + " ";  // 84 characters: 2 parts
  const StopCase cases[] = {{{SIGTERM}, 143}, {{SIGHUP, SIGTERM, SIGINT, SIGINT}, 129}};
  for (const StopCase& c : cases) {
    SCOPED_TRACE(c.status);
    SendFolder folder;
    const SettingsFile settings(folder, kSettingsFile);
    SimProcess sim(kSimPort);
    ASSERT_TRUE(sim.Started());
    std::vector<SignalStep> steps;
    for (int signal : c.signals) {
      steps.push_back({signal, [&](const std::string&) { return !sim.Submissions().empty(); }});
    }
    RunResult run = folder.Run(
        Args(sim, {"--number", "79123456701", "--number", "79123456702", "--text", message}), steps);
    EXPECT_EQ(run.status, c.status) << run.err;
    const auto sent = sim.Submissions();
    ASSERT_EQ(sent.size(), 2u) << "both parts of the first number, nothing of the second";
    EXPECT_EQ(sent[1].answer.rfind("ok ", 0), 0u) << sent[1].answer;
    EXPECT_TRUE(Contains(run.out, "79123456701\t" + kSentUtf8 + "\t\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "79123456702\t" + kAcceptedUtf8 + "\t\n")) << run.out;
    EXPECT_TRUE(Contains(run.err, kReadyLine)) << run.err;
    EXPECT_TRUE(fs::exists(folder.File("PHONES/79123456701")));
    EXPECT_TRUE(Contains(folder.MessLog(), " 79123456701 OK\r\n"));
    EXPECT_TRUE(settings.Unchanged());
  }
}

size_t CountOf(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// A pool of four modems, each with a message on the line when Ctrl-C comes:
// the four are finished, marked and reported, nothing more is taken, the
// table lists every number once, and the modem log tells the four apart.
TEST(SendStop, CtrlCWithAMessageOnEveryModemOfAPool) {
  SendFolder folder;
  std::vector<std::unique_ptr<SimProcess>> sims;
  std::vector<std::string> args = {"--pause", "0", "--check", "--text", "Hello"};
  for (int k = 0; k < 4; ++k) {
    sims.push_back(std::make_unique<SimProcess>(kSimPort + 1 + k, std::vector<std::string>{"--delay", "300"}));
    ASSERT_TRUE(sims.back()->Started());
    args.insert(args.end(), {"--device", sims.back()->LinkPath()});
  }
  for (int n = 1; n <= 8; ++n) args.insert(args.end(), {"--number", "7912345670" + std::to_string(n)});
  // "Отправка...": a modem has taken its number.
  const std::string sending = "\xD0\x9E\xD1\x82\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xBA\xD0\xB0...";
  RunResult run = folder.Run(
      args, {{SIGINT, [&](const std::string& err) { return CountOf(err, sending) >= 4; }}});
  EXPECT_EQ(run.status, 130) << run.err;
  EXPECT_TRUE(Contains(run.err, "  ports           COM99 (" + sims[0]->LinkPath() + "), COM100 (" +
                                    sims[1]->LinkPath() + "), COM101 ("))
      << run.err;
  size_t sent = 0;
  for (const auto& sim : sims) {
    for (const auto& submission : sim->Submissions()) {
      EXPECT_EQ(submission.answer.rfind("ok ", 0), 0u) << submission.answer;
      ++sent;
    }
  }
  EXPECT_EQ(sent, 4u);
  for (int n = 1; n <= 8; ++n) {
    const std::string number = "7912345670" + std::to_string(n);
    EXPECT_EQ(CountOf(run.out, number + "\t"), 1u) << run.out;
  }
  EXPECT_TRUE(Contains(run.out, "\n" + kSentUtf8 + ": 4\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "\n" + kAcceptedUtf8 + ": 4\n")) << run.out;
  // A line per modem after the table: each had one message on the line.
  for (size_t k = 0; k < sims.size(); ++k) {
    const std::string line = "COM" + std::to_string(99 + k) + " (" + sims[k]->LinkPath() + ")\t" +
                             kSentUtf8 + ": 1\t";
    EXPECT_TRUE(Contains(run.out, "\n" + line)) << line << run.out;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.File("PHONES")), fs::directory_iterator()), 4);
  const std::string modemLog = folder.Log("modem");
  for (const char* code : {" OUT 99 at\r", " OUT 100 at\r", " OUT 101 at\r", " OUT 102 at\r"}) {
    EXPECT_TRUE(Contains(modemLog, code)) << code;
  }
}

}  // namespace
