// varnek-send as the operator runs it: a child process in a program folder
// of its own, against the modem simulator.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/SimProcess.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::SimProcess;
using testing_support::TempDir;

constexpr int kRunLimitMs = 40000;
constexpr int kSimPort = 41;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// PDU hex may come in either case.
std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

struct RunResult {
  int status = -1;  // exit code, or 128 + the signal that ended it
  std::string out;
  std::string err;
};

// A program folder with its own copy of varnek-send, so that its settings
// file, "logs" and "PHONES" land there.
class SendFolder {
 public:
  SendFolder() {
    m_program = m_dir.File("varnek-send");
    fs::copy_file(VARNEK_SEND_PROGRAM, m_program);
    fs::permissions(m_program, fs::perms::owner_all);
  }

  std::string File(const std::string& name) const { return m_dir.File(name); }

  // interruptWhen, if given, is asked about stderr as it grows; SIGINT goes
  // to the program each time it first says yes, as often as interrupts says.
  RunResult Run(const std::vector<std::string>& args,
                std::function<bool(const std::string&)> interruptWhen = nullptr,
                int interrupts = 1) const {
    const std::string outPath = File("stdout.txt");
    const std::string errPath = File("stderr.txt");
    pid_t pid = fork();
    if (pid == 0) Exec(args, outPath, errPath);
    RunResult result;
    int sent = 0;
    int status = 0;
    for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; waited += 10) {
      if (waited > kRunLimitMs) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        ADD_FAILURE() << "varnek-send did not end";
        break;
      }
      if (interruptWhen && sent < interrupts && interruptWhen(ReadAll(errPath))) {
        kill(pid, SIGINT);
        ++sent;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadAll(outPath);
    result.err = ReadAll(errPath);
    return result;
  }

  std::string MessLog() const { return ReadLogs(".mess"); }

 private:
  [[noreturn]] void Exec(const std::vector<std::string>& args, const std::string& outPath,
                         const std::string& errPath) const {
    std::vector<std::string> copies = args;
    std::vector<char*> argv = {const_cast<char*>(m_program.c_str())};
    for (std::string& arg : copies) argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    if (!freopen(outPath.c_str(), "w", stdout) || !freopen(errPath.c_str(), "w", stderr)) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }

  std::string ReadLogs(const std::string& extension) const {
    std::string all;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(File("logs"), ignored)) {
      if (entry.path().extension() == extension) all += ReadAll(entry.path().string());
    }
    return all;
  }

  TempDir m_dir;
  std::string m_program;
};

// Three numbers in code page 1251 with Cyrillic names and CR LF line ends.
const std::string kList1251 =
    "7 (912) 345-67-01 \xC8\xE2\xE0\xED\r\n"  // Иван
    "+7-912-345-67-02\r\n"
    "79123456703 \xCF\xE5\xF2\xF0\r\n";  // Петр

constexpr char kPrivet[] = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";  // "Привет", UTF-8
// "Привет" in UCS2 (U+041F U+0440 U+0438 U+0432 U+0435 U+0442), as the user
// data of the PDU ends.
constexpr char kPrivetUcs2[] = "041F04400438043204350442";

constexpr char kSentTable[] =
    "79123456701\t\xD0\x9E\xD1\x82\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xBB\xD0\xB5\xD0\xBD\t"
    "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\n"  // Отправлен, Иван
    "79123456702\t\xD0\x9E\xD1\x82\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xBB\xD0\xB5\xD0\xBD\t\n"
    "79123456703\t\xD0\x9E\xD1\x82\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xBB\xD0\xB5\xD0\xBD\t"
    "\xD0\x9F\xD0\xB5\xD1\x82\xD1\x80\n";  // Петр

const std::string kSentUtf8 = "\xD0\x9E\xD1\x82\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xBB\xD0\xB5\xD0\xBD";
const std::string kDuplicateUtf8 =
    "\xD0\x94\xD1\x83\xD0\xB1\xD0\xBB\xD0\xB8\xD1\x80\xD0\xBE\xD0\xB2\xD0\xB0\xD0\xBD\xD0\xB8\xD0\xB5 "
    "\xD0\xBD\xD0\xBE\xD0\xBC\xD0\xB5\xD1\x80\xD0\xB0";  // Дублирование номера
const std::string kPortErrorUtf8 =
    "\xD0\x9E\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0 \xD0\xBF\xD0\xBE\xD1\x80\xD1\x82\xD0\xB0";
const std::string kSendErrorUtf8 =
    "\xD0\x9E\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0 "
    "\xD0\xBE\xD1\x82\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xBA\xD0\xB8";  // Ошибка отправки

std::vector<std::string> Args(const SimProcess& sim, std::vector<std::string> more) {
  std::vector<std::string> args = {"--device", sim.LinkPath(), "--pause", "0"};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

TEST(SendEndToEnd, DeliversAListAndRefusesDuplicatesOnTheNextRun) {
  SendFolder folder;
  WriteAll(folder.File("phones.txt"), kList1251);
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  const auto args = Args(sim, {"--check", "--list", folder.File("phones.txt"), "--text", kPrivet});

  RunResult run = folder.Run(args);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, std::string(kSentTable).size()), kSentTable);
  EXPECT_TRUE(Contains(run.out, "\n" + kSentUtf8 + ": 3\n")) << run.out;
  EXPECT_TRUE(Contains(run.err, "2/3 79123456702 " + kSentUtf8 + "\n")) << run.err;

  const std::vector<testing_support::SimSubmission> sent = sim.Submissions();
  ASSERT_EQ(sent.size(), 3u);
  for (const auto& submission : sent) {
    EXPECT_EQ(submission.answer.rfind("ok ", 0), 0u) << submission.answer;
    const std::string pdu = Upper(submission.pdu);
    EXPECT_EQ(pdu.substr(pdu.size() - std::string(kPrivetUcs2).size()), kPrivetUcs2) << pdu;
  }
  // 79123456702 as semi-octets: digit pairs swapped, F filling the last.
  EXPECT_TRUE(Contains(sent[1].pdu, "9721436507F2")) << sent[1].pdu;

  const std::string mess = folder.MessLog();
  for (const char* number : {"79123456701", "79123456702", "79123456703"}) {
    EXPECT_TRUE(Contains(mess, std::string(" ") + number + " OK\r\n")) << mess;
    EXPECT_TRUE(fs::exists(folder.File("PHONES/") + number)) << number;
  }

  RunResult again = folder.Run(args);
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_TRUE(Contains(again.out, "\n" + kDuplicateUtf8 + ": 3\n")) << again.out;
  EXPECT_EQ(sim.Submissions().size(), 3u);
}

TEST(SendEndToEnd, SendErrorExitsWithOneAndShowsTheModemsReason) {
  SendFolder folder;
  SimProcess sim(kSimPort, {"--submit", "2:cms:311"});
  ASSERT_TRUE(sim.Started());
  RunResult run = folder.Run(Args(sim, {"--number", "79123456701", "--number", "79123456702",
                                        "--number", "79123456703", "--text", "Hello"}));
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_TRUE(Contains(run.out, "79123456702\t" + kSendErrorUtf8 + "\t\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "79123456703\t" + kSentUtf8 + "\t\n")) << run.out;
  EXPECT_TRUE(Contains(run.err, "2/3 79123456702 " + kSendErrorUtf8 +
                                    ": +CMS ERROR: 311 (SIM PIN required)\n"))
      << run.err;
}

TEST(SendEndToEnd, Utf8FilesAreConverted) {
  SendFolder folder;
  // With a byte order mark, LF line ends and no final line break.
  WriteAll(folder.File("phones.txt"),
           "\xEF\xBB\xBF" "79123456701 \xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\n79123456702");
  WriteAll(folder.File("message.txt"), std::string(kPrivet) + "\n");
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  RunResult run = folder.Run(Args(sim, {"--encoding", "utf-8", "--list", folder.File("phones.txt"),
                                        "--text-file", folder.File("message.txt")}));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, run.out.find("\n\n") + 1),
            "79123456701\t" + kSentUtf8 + "\t\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\n" +
                "79123456702\t" + kSentUtf8 + "\t\n");
  const auto sent = sim.Submissions();
  ASSERT_EQ(sent.size(), 2u);
  // The final line break of the message file is not part of the message.
  EXPECT_EQ(Upper(sent[0].pdu.substr(sent[0].pdu.size() - 26)), std::string("0C") + kPrivetUcs2);
  // No converted copy is left behind.
  for (const auto& entry : fs::directory_iterator(folder.File("")))
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

// The settings file as the window would have written it: port 7, check on,
// pauses of 30 to 60 s. The run overrides port and pauses; the check is the
// file's.
const std::string kSettingsFile =
    "<?xml version=\"1.0\" encoding=\"Windows-1251\"?>\r\n<root><BAUDRATE>9600</BAUDRATE>"
    "<PORT>7</PORT><CHECK>1</CHECK><TIMEOUT>30</TIMEOUT><TIMEOUT2>60</TIMEOUT2></root>\r\n";

TEST(SendEndToEnd, OptionsAreNotWrittenToTheSettingsFile) {
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  for (bool withFile : {true, false}) {
    SendFolder folder;
    const std::string settings = folder.File("varnek-send.xml");
    if (withFile) WriteAll(settings, kSettingsFile);
    RunResult run = folder.Run(
        Args(sim, {"--port", "5", "--baud", "0", "--number", "79123456701", "--text", "Hi"}));
    EXPECT_EQ(run.status, 0) << run.err;
    if (withFile) {
      EXPECT_EQ(ReadAll(settings), kSettingsFile);
      EXPECT_TRUE(fs::exists(folder.File("PHONES/79123456701"))) << "CHECK of the file";
    } else {
      EXPECT_FALSE(fs::exists(settings));
      EXPECT_FALSE(fs::exists(folder.File("PHONES"))) << "no file: CHECK 0";
    }
  }
}

TEST(SendEndToEnd, CtrlCDuringPortErrorsStopsWith130) {
  SendFolder folder;
  SimProcess sim(kSimPort, {"--silent"});
  ASSERT_TRUE(sim.Started());
  // "Ошибка порта, повторный" — the countdown after the capture failed.
  const std::string countdown = kPortErrorUtf8 + ", ";
  auto t0 = std::chrono::steady_clock::now();
  RunResult run = folder.Run(Args(sim, {"--number", "79123456701", "--number", "79123456702",
                                        "--text", "Hello"}),
                             [&](const std::string& err) { return Contains(err, countdown); });
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::steady_clock::now() - t0).count();
  EXPECT_EQ(run.status, 130) << run.err;
  EXPECT_TRUE(Contains(run.out, "79123456701\t" + kPortErrorUtf8 + "\t\n")) << run.out;
  EXPECT_TRUE(Contains(run.err, "\xD0\x93\xD0\xBE\xD1\x82\xD0\xBE\xD0\xB2\n")) << run.err;  // Готов
  // The capture's own limit (10 s) and at most one second of the countdown.
  EXPECT_LT(seconds, 14);
}

// "Таймаут N сек ..." of the pause after the first number.
std::string PauseText(const char* seconds) {
  return std::string("\xD0\xA2\xD0\xB0\xD0\xB9\xD0\xBC\xD0\xB0\xD1\x83\xD1\x82 ") + seconds;
}

const std::string kAcceptedUtf8 = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xBD\xD1\x8F\xD1\x82";  // Принят

struct PauseInterruptCase {
  const char* pause;
  int interrupts;
  int minSeconds;  // once: the pause runs out; twice: it is cut short
  int maxSeconds;
};

TEST(SendEndToEnd, CtrlCDuringAPauseStopsAfterItOrAtOnceWhenTwice) {
  const PauseInterruptCase cases[] = {{"3", 1, 2, 6}, {"30", 2, 0, 6}};
  for (const PauseInterruptCase& c : cases) {
    SendFolder folder;
    SimProcess sim(kSimPort);
    ASSERT_TRUE(sim.Started());
    const std::string pause = PauseText(c.pause);
    auto t0 = std::chrono::steady_clock::now();
    RunResult run = folder.Run({"--device", sim.LinkPath(), "--pause", c.pause, "--number",
                                "79123456701", "--number", "79123456702", "--text", "Hello"},
                               [&](const std::string& err) { return Contains(err, pause); },
                               c.interrupts);
    const auto seconds = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - t0).count() / 1000.0;
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_TRUE(Contains(run.out, "79123456701\t" + kSentUtf8 + "\t\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "79123456702\t" + kAcceptedUtf8 + "\t\n")) << run.out;
    EXPECT_GE(seconds, c.minSeconds) << c.pause;
    EXPECT_LT(seconds, c.maxSeconds) << c.pause;
    EXPECT_EQ(sim.Submissions().size(), 1u);
  }
}

struct BadRunCase {
  std::vector<std::string> args;
  std::string errorPart;
};

TEST(SendEndToEnd, BadUsageAndUnreadableInputExitWithTwo) {
  SendFolder folder;
  WriteAll(folder.File("phones.txt"), kList1251);
  WriteAll(folder.File("empty.txt"), "no numbers here\r\n");
  WriteAll(folder.File("blank.txt"), "\r\n\r\n");
  const std::string missing = folder.File("nowhere/phones.txt");
  const std::string list = folder.File("phones.txt");
  const BadRunCase cases[] = {
      {{"--bogus"}, "unknown option --bogus"},
      {{"--list", missing, "--text", "Hi"}, "cannot open the list file " + missing},
      {{"--number", "1", "--text-file", missing}, "cannot read the message file " + missing},
      {{"--list", list, "--text", ""}, "the message is empty"},
      {{"--list", list, "--text-file", folder.File("blank.txt")}, "the message is empty"},
      {{"--list", folder.File("empty.txt"), "--text", "Hi"}, "the list holds no numbers"},
      {{"--list", list, "--from", "3", "--text", "Hi"}, "--from 3 is past the end of the list"},
  };
  for (const BadRunCase& c : cases) {
    RunResult run = folder.Run(c.args);
    EXPECT_EQ(run.status, 2) << c.args[0] << " " << run.err;
    EXPECT_TRUE(Contains(run.err, c.errorPart)) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_FALSE(fs::exists(folder.File("varnek-send.xml")));
  EXPECT_FALSE(fs::exists(folder.File("logs")));
}

}  // namespace
