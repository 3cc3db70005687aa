// varnek-send as the operator runs it, against the modem simulator:
// deliveries, the files it reads and what it refuses.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "send/posix/SendFolder.h"

namespace {

using namespace send_test;
using testing_support::DestinationOf;
using testing_support::SimProcess;

// Three numbers in code page 1251 with Cyrillic names and CR LF line ends.
const std::string kList1251 =
    "7 (912) 345-67-01 \xC8\xE2\xE0\xED\r\n"  // Иван
    "+7-912-345-67-02\r\n"
    "79123456703 \xCF\xE5\xF2\xF0\r\n";  // Петр

constexpr char kSentTable[] =
    "79123456701\t\xD0\x9E\xD1\x82\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xBB\xD0\xB5\xD0\xBD\t"
    "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\n"  // Отправлен, Иван
    "79123456702\t\xD0\x9E\xD1\x82\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xBB\xD0\xB5\xD0\xBD\t\n"
    "79123456703\t\xD0\x9E\xD1\x82\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xBB\xD0\xB5\xD0\xBD\t"
    "\xD0\x9F\xD0\xB5\xD1\x82\xD1\x80\n";  // Петр

const std::string kDuplicateUtf8 =
    "\xD0\x94\xD1\x83\xD0\xB1\xD0\xBB\xD0\xB8\xD1\x80\xD0\xBE\xD0\xB2\xD0\xB0\xD0\xBD\xD0\xB8\xD0\xB5 "
    "\xD0\xBD\xD0\xBE\xD0\xBC\xD0\xB5\xD1\x80\xD0\xB0";  // Дублирование номера
const std::string kSendErrorUtf8 =
    "\xD0\x9E\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0 "
    "\xD0\xBE\xD1\x82\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xBA\xD0\xB8";  // Ошибка отправки

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
  SimProcess sim(kSimPort, {"--submit", "2:cms:1"});
  ASSERT_TRUE(sim.Started());
  RunResult run = folder.Run(Args(sim, {"--number", "79123456701", "--number", "79123456702",
                                        "--number", "79123456703", "--text", "Hello"}));
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_TRUE(Contains(run.out, "79123456702\t" + kSendErrorUtf8 + "\t\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "79123456703\t" + kSentUtf8 + "\t\n")) << run.out;
  EXPECT_TRUE(Contains(run.err, "2/3 79123456702 " + kSendErrorUtf8 +
                                    ": +CMS ERROR: 1 (unassigned number)\n"))
      << run.err;
}

// UTF-16 bytes, as Notepad saves "Unicode" (little endian) and its big
// endian twin.
std::string Utf16(const std::u16string& text, bool littleEndian) {
  std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
  for (char16_t unit : text) {
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    bytes += littleEndian ? std::string{low, high} : std::string{high, low};
  }
  return bytes;
}

constexpr char kIvanUtf8[] = "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD";

struct EncodingCase {
  const char* what;
  std::string list;
  std::string message;
  std::vector<std::string> options;
  const char* note;  // on stderr; "" for none
};

TEST(SendEndToEnd, ListAndMessageFilesAreReadInTheirEncoding) {
  const std::u16string list16 = u"79123456701 \u0418\u0432\u0430\u043D\r\n79123456702\r\n";
  const std::u16string message16 = u"\u041F\u0440\u0438\u0432\u0435\u0442\r\n";
  const EncodingCase cases[] = {
      {"UTF-8 mark, LF, no final line break, over --encoding",
       std::string("\xEF\xBB\xBF") + "79123456701 " + kIvanUtf8 + "\n79123456702",
       std::string("\xEF\xBB\xBF") + kPrivet + "\n", {"--encoding", "cp1251"},
       "has a UTF-8 byte order mark: read as UTF-8"},
      {"UTF-16 LE mark", Utf16(list16, true), Utf16(message16, true), {},
       "has a UTF-16 LE byte order mark: read as UTF-16 LE"},
      {"UTF-16 BE mark", Utf16(list16, false), Utf16(message16, false), {},
       "has a UTF-16 BE byte order mark: read as UTF-16 BE"},
      {"UTF-8 without a mark", std::string("79123456701 ") + kIvanUtf8 + "\n79123456702\n",
       std::string(kPrivet), {}, "is valid UTF-8: read as UTF-8"},
      {"UTF-8 without a mark, as asked", std::string("79123456701 ") + kIvanUtf8 + "\n79123456702\n",
       std::string(kPrivet), {"--encoding", "utf-8"}, ""},
      {"cp1251", "79123456701 \xC8\xE2\xE0\xED\r\n79123456702\r\n",
       "\xCF\xF0\xE8\xE2\xE5\xF2\r\n", {}, ""},
  };
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  for (const EncodingCase& row : cases) {
    SCOPED_TRACE(row.what);
    SendFolder folder;
    WriteAll(folder.File("phones.txt"), row.list);
    WriteAll(folder.File("message.txt"), row.message);
    std::vector<std::string> args = {"--list", folder.File("phones.txt"), "--text-file",
                                     folder.File("message.txt")};
    args.insert(args.end(), row.options.begin(), row.options.end());
    const size_t before = sim.Submissions().size();
    RunResult run = folder.Run(Args(sim, args));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find("\n\n") + 1),
              "79123456701\t" + kSentUtf8 + "\t" + kIvanUtf8 + "\n79123456702\t" + kSentUtf8 + "\t\n");
    const auto sent = sim.Submissions();
    ASSERT_EQ(sent.size(), before + 2);
    // The final line break of the message file is not part of the message.
    const std::string pdu = Upper(sent[before].pdu);
    EXPECT_EQ(pdu.substr(pdu.size() - 26), std::string("0C") + kPrivetUcs2);
    if (*row.note != '\0') {
      EXPECT_TRUE(Contains(run.err, "the list file " + folder.File("phones.txt") + " " + row.note));
      EXPECT_TRUE(Contains(run.err, "the message file " + folder.File("message.txt") + " " + row.note));
    } else {
      EXPECT_FALSE(Contains(run.err, "read as")) << run.err;
    }
  }
}

// The duplicate check never goes off by itself: with the program's folder
// read-only, a run with the check ends before the first number and says
// why; with --markers it keeps its markers elsewhere, and hears that no log
// is kept. Nothing is written beside the program, not even to convert a list.
TEST(SendEndToEnd, AReadOnlyProgramFolderStopsTheCheckedRunUnlessTheMarkersLieElsewhere) {
  SendFolder folder;
  WriteAll(folder.File("phones.txt"), std::string("79123456701 ") + kIvanUtf8 + "\n79123456702\n");
  testing_support::TempDir elsewhere;
  fs::permissions(elsewhere.Path(), fs::perms::all);
  const std::string markers = elsewhere.File("markers");
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  folder.MakeReadOnly(sim);
  std::vector<std::string> before;
  for (const auto& entry : fs::directory_iterator(folder.File(""))) before.push_back(entry.path());
  const std::vector<std::string> args = {"--check", "--encoding", "utf-8", "--list",
                                         folder.File("phones.txt"), "--text", "Hi"};

  RunResult refused = folder.Run(Args(sim, args));
  EXPECT_EQ(refused.status, 2) << refused.err;
  EXPECT_TRUE(Contains(refused.err, "the duplicate check is on, but no marker can be written in " +
                                        folder.File("PHONES") +
                                        ": Permission denied; nothing is sent"))
      << refused.err;
  EXPECT_TRUE(sim.Submissions().empty());

  std::vector<std::string> withMarkers = args;
  withMarkers.insert(withMarkers.end(), {"--markers", markers});
  RunResult run = folder.Run(Args(sim, withMarkers));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "79123456701\t" + kSentUtf8 + "\t" + kIvanUtf8 + "\n")) << run.out;
  EXPECT_EQ(sim.Submissions().size(), 2u);
  EXPECT_TRUE(fs::exists(markers + "/79123456701"));
  EXPECT_TRUE(fs::exists(markers + "/79123456702"));
  const size_t logNote = run.err.find("varnek-send: the logs cannot be written in " +
                                      folder.File("logs") + ": Permission denied\n");
  EXPECT_NE(logNote, std::string::npos) << run.err;
  EXPECT_LT(logNote, run.err.find("1/2 ")) << "told before the first number: " << run.err;

  std::vector<std::string> after;
  for (const auto& entry : fs::directory_iterator(folder.File(""))) after.push_back(entry.path());
  std::sort(before.begin(), before.end());
  std::sort(after.begin(), after.end());
  EXPECT_EQ(after, before);
}

// Two runs on one list and one marker folder, each with a modem of its own,
// as two PCs sharing a folder: every number goes out once.
TEST(SendEndToEnd, TwoRunsOnOneListAndOneMarkerFolderSendEveryNumberOnce) {
  testing_support::TempDir shared;
  std::string list;
  for (int n = 1; n <= 8; ++n) list += "7912345670" + std::to_string(n) + "\n";
  WriteAll(shared.File("phones.txt"), list);
  SendFolder folders[2];
  std::vector<std::unique_ptr<SimProcess>> sims;
  int pids[2];
  for (int k = 0; k < 2; ++k) {
    sims.push_back(
        std::make_unique<SimProcess>(kSimPort + k, std::vector<std::string>{"--delay", "20"}));
    ASSERT_TRUE(sims.back()->Started());
    pids[k] = folders[k].Start(Args(*sims.back(), {"--check", "--markers", shared.File("PHONES"),
                                                    "--piece-pause", "0", "--list",
                                                    shared.File("phones.txt"), "--text", "Hi"}));
  }
  std::map<std::string, int> sent;
  for (int k = 0; k < 2; ++k) {
    const RunResult run = folders[k].Wait(pids[k]);
    EXPECT_EQ(run.status, 0) << run.err;
    for (const auto& submission : sims[k]->Submissions()) {
      EXPECT_EQ(submission.answer.rfind("ok ", 0), 0u) << submission.answer;
      ++sent[DestinationOf(submission.pdu)];
    }
  }
  EXPECT_EQ(sent.size(), 8u);
  for (const auto& number : sent) EXPECT_EQ(number.second, 1) << number.first;
}

// The files of a folder, read together.
std::string FilesIn(const std::string& folder) {
  std::string all;
  if (!fs::exists(folder)) return all;
  for (const auto& entry : fs::directory_iterator(folder)) all += ReadAll(entry.path().string());
  return all;
}

bool ReportStored(const SimProcess& sim) {
  for (const auto& event : sim.MemoryEvents()) {
    if (event.event == "stored" && event.kind == "report") return true;
  }
  return false;
}

// Reports asked for and waited for after the last number: each matched to
// its number in the table, the counts and the results file; a reply that
// asks to stop puts its sender on the stop list, --inbox shows it, and the
// next run does not send to it.
TEST(SendEndToEnd, ReportsAreMatchedAndAStopReplyEndsTheNumbersMessages) {
  SendFolder folder;
  SimProcess sim(kSimPort, {"--report-delay", "100:400", "--report-status", "2:46", "--incoming",
                            "300:+79123456709:\xD0\xA1\xD1\x82\xD0\xBE\xD0\xBF"});  // Стоп
  ASSERT_TRUE(sim.Started());
  RunResult run = folder.Run(Args(sim, {"--number", "79123456701", "--number", "79123456702",
                                        "--number", "79123456703", "--text", "Hi", "--reports",
                                        "--wait-reports", "30", "--no-check"}));
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string delivered = "\xD0\x94\xD0\xBE\xD1\x81\xD1\x82\xD0\xB0\xD0\xB2\xD0\xBB\xD0\xB5\xD0\xBD";
  const std::string notDelivered =  // Не доставлен
      "\xD0\x9D\xD0\xB5 \xD0\xB4\xD0\xBE\xD1\x81\xD1\x82\xD0\xB0\xD0\xB2\xD0\xBB\xD0\xB5\xD0\xBD";
  EXPECT_TRUE(Contains(run.out, "79123456701\t" + delivered + "\t\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "79123456702\t" + notDelivered + "\t\n")) << run.out;
  EXPECT_TRUE(Contains(run.out, "\n" + delivered + ": 2\n" + notDelivered + ": 1\n")) << run.out;
  EXPECT_TRUE(Contains(run.err, "2/3 79123456702 " + notDelivered + ": validity period expired"));
  const std::string results = FilesIn(folder.File("results"));
  EXPECT_TRUE(Contains(results, "79123456702;;\xCD\xE5 \xE4\xEE\xF1\xF2\xE0\xE2\xEB\xE5\xED;2;70;"))
      << results;
  EXPECT_TRUE(fs::exists(folder.File("PHONES/STOP/79123456709")));

  RunResult inbox = folder.Run({"--inbox"});
  EXPECT_TRUE(Contains(inbox.out, "\t+79123456709\t\xD0\xA1\xD1\x82\xD0\xBE\xD0\xBF\n")) << inbox.out;

  RunResult next = folder.Run(Args(sim, {"--number", "79123456709", "--text", "Hi", "--no-check"}));
  EXPECT_TRUE(Contains(next.out, "79123456709\t\xD0\x92 \xD1\x81\xD1\x82\xD0\xBE\xD0\xBF-"))
      << next.out;  // В стоп-листе
  EXPECT_EQ(sim.Submissions().size(), 3u);
}

// Reports that come after the run, stored in the modem, are read by
// --collect and written into that run's results file.
TEST(SendEndToEnd, ReportsAfterTheRunAreCollectedIntoItsResults) {
  SendFolder folder;
  SimProcess sim(kSimPort, {"--reports", "stored", "--report-delay", "1500:1500"});
  ASSERT_TRUE(sim.Started());
  RunResult run = folder.Run(Args(sim, {"--number", "79123456701", "--text", "Hi", "--reports"}));
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string sent = FilesIn(folder.File("results"));
  EXPECT_TRUE(Contains(sent, "79123456701;;\xCE\xF2\xEF\xF0\xE0\xE2\xEB\xE5\xED;1;"))  // Отправлен
      << sent;
  for (int tries = 0; tries < 200 && !ReportStored(sim); ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_TRUE(ReportStored(sim));
  RunResult collect = folder.Run(Args(sim, {"--collect"}));
  EXPECT_EQ(collect.status, 0) << collect.err;
  EXPECT_TRUE(Contains(collect.err, "reports: 1,")) << collect.err;
  const std::string after = FilesIn(folder.File("results"));
  EXPECT_TRUE(Contains(after, "79123456701;;\xC4\xEE\xF1\xF2\xE0\xE2\xEB\xE5\xED;1;0;"))  // Доставлен
      << after;
}

struct SettingsCase {
  const char* what;
  std::optional<std::string> file;  // none: no settings file
  bool marked;                      // CHECK 1 read from the file
  const char* warning;              // "" for none
};

TEST(SendEndToEnd, TheSettingsFileIsReadAndNeverWritten) {
  const SettingsCase cases[] = {
      {"the window's file", kSettingsFile, true, ""},
      {"no file", std::nullopt, false, ""},
      {"not well-formed", std::string("<root><CHECK>1</CHECK>"), false,
       "varnek-send.xml is not well-formed XML: the defaults are in force"},
      {"no root", std::string("<settings><CHECK>1</CHECK></settings>"), false,
       "varnek-send.xml has no \"root\" element: the defaults are in force"},
      {"words a person writes", std::string("<root><CHECK> Yes </CHECK><PORT>3</PORT></root>"),
       true, ""},
      {"a value beyond the limit, another not understood",
       std::string("<root><TIMEOUT>99999999999</TIMEOUT><CHECK>maybe</CHECK></root>"), true,
       "varnek-send.xml: <TIMEOUT>99999999999</TIMEOUT> is beyond the limit: 86400 s is taken "
       "instead\n"},
  };
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  for (const SettingsCase& row : cases) {
    SCOPED_TRACE(row.what);
    SendFolder folder;
    std::optional<SettingsFile> settings;
    if (row.file) settings.emplace(folder, *row.file);
    RunResult run = folder.Run(
        Args(sim, {"--port", "5", "--baud", "0", "--number", "79123456701", "--text", "Hi"}));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(fs::exists(folder.File("PHONES/79123456701")), row.marked);
    if (*row.warning != '\0') {
      EXPECT_TRUE(Contains(run.err, folder.File(row.warning))) << run.err;
    } else {
      EXPECT_FALSE(Contains(run.err, "varnek-send: the settings file")) << run.err;
    }
    EXPECT_EQ(Contains(run.err, "<CHECK>maybe</CHECK> is not understood: 1 (on) is taken instead"),
              Contains(*row.file, "maybe"))
        << run.err;
    if (settings) {
      EXPECT_TRUE(settings->Unchanged());
    } else {
      EXPECT_FALSE(fs::exists(folder.File("varnek-send.xml")));
    }
  }
}

struct BadRunCase {
  std::vector<std::string> args;
  std::string errorPart;
};

TEST(SendEndToEnd, BadUsageAndUnreadableInputExitWithTwoAtOnce) {
  SendFolder folder;
  WriteAll(folder.File("phones.txt"), kList1251);
  WriteAll(folder.File("empty.txt"), "no numbers here\r\n");
  WriteAll(folder.File("blank.txt"), "\r\n\r\n");
  ASSERT_EQ(mkfifo(folder.File("fifo.txt").c_str(), 0600), 0);
  fs::create_directory(folder.File("folder.txt"));
  WriteAll(folder.File("huge.txt"), "");
  fs::resize_file(folder.File("huge.txt"), 64 * 1024 * 1024 + 1);  // sparse
  const std::string missing = folder.File("nowhere/phones.txt");
  const std::string list = folder.File("phones.txt");
  const std::string notRegular = " is not a regular file (a folder, a FIFO or a device)";
  WriteAll(folder.File("broken.txt"), std::string("79123456701 ") + kIvanUtf8 + "\n7912345670\xD0\n");
  WriteAll(folder.File("zero.txt"), std::string("Hi\r\nthere\0", 10));
  const std::string utf8 = "(as --encoding asks): the first bad sequence is on line ";
  const BadRunCase cases[] = {
      {{"--bogus"}, "unknown option --bogus"},
      {{"--list", missing, "--text", "Hi"}, "the list file " + missing + " cannot be opened"},
      {{"--number", "1", "--text-file", missing}, "the message file " + missing + " cannot be opened"},
      {{"--list", folder.File("fifo.txt"), "--text", "Hi"}, "the list file " + folder.File("fifo.txt") + notRegular},
      {{"--number", "1", "--text-file", folder.File("fifo.txt")}, "the message file " + folder.File("fifo.txt") + notRegular},
      {{"--list", folder.File("folder.txt"), "--text", "Hi"}, "the list file " + folder.File("folder.txt") + notRegular},
      {{"--list", "/dev/zero", "--text", "Hi"}, "the list file /dev/zero" + notRegular},
      {{"--list", folder.File("huge.txt"), "--text", "Hi"}, "the list file " + folder.File("huge.txt") + " is larger than 64 MiB"},
      {{"--list", list, "--text", ""}, "the message is empty"},
      {{"--list", list, "--text-file", folder.File("blank.txt")}, "the message is empty"},
      {{"--list", folder.File("empty.txt"), "--text", "Hi"}, "the list holds no numbers"},
      {{"--list", list, "--from", "4", "--text", "Hi"}, "--from 4 is past the end of the list (3 numbers"},
      {{"--list", list, "--encoding", "utf-8", "--text", "Hi"},
       "the list file " + list + " is not valid UTF-8 " + utf8 + "1, at byte offset 18\n"},
      {{"--list", folder.File("broken.txt"), "--text", "Hi"},
       "the list file " + folder.File("broken.txt") + " is not valid UTF-8 (most of it is UTF-8; "
       "--encoding cp1251 reads it as cp1251): the first bad sequence is on line 2, at byte "
       "offset 31\n"},
      {{"--list", list, "--text-file", folder.File("zero.txt")},
       "the message file " + folder.File("zero.txt") +
           " holds a zero byte on line 2, at byte offset 9: a message cannot carry it\n"},
      {{"--list", list, "--text", "Hi \xF0\x9F\x98\x80"},
       "the text of --text holds U+1F600 (byte offset 3)"},
      {{"--list", list, "--text", "\xE2\x82\xAC"},  // €, which 1251 has and no SMS carries
       "nothing is left of the message once the characters that no encoding carries are dropped"},
  };
  for (const BadRunCase& c : cases) {
    RunResult run = folder.Run(c.args);
    EXPECT_EQ(run.status, 2) << c.args[0] << " " << run.err;
    EXPECT_TRUE(Contains(run.err, c.errorPart)) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_FALSE(fs::exists(folder.File("varnek-send.xml")));
  EXPECT_FALSE(fs::exists(folder.File("logs")));

  // A settings file that is a FIFO or a folder: the engine would wait on the
  // FIFO for ever.
  const std::function<void(const std::string&)> makers[] = {
      [](const std::string& path) { mkfifo(path.c_str(), 0600); },
      [](const std::string& path) { fs::create_directory(path); },
      [](const std::string& path) { WriteAll(path, "<root><PORT>\xC7</PORT></root>"); },
  };
  const std::string faults[] = {
      notRegular, notRegular,
      " is not valid UTF-8 (as its XML declaration says, or UTF-8 when it names none): the first "
      "bad sequence is on line 1, at byte offset 12"};
  for (size_t i = 0; i < std::size(makers); ++i) {
    SendFolder odd;
    makers[i](odd.File("varnek-send.xml"));
    RunResult run = odd.Run({"--number", "79123456701", "--text", "Hi"});
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_TRUE(Contains(run.err, "the settings file " + odd.File("varnek-send.xml") + faults[i]))
        << run.err;
    EXPECT_FALSE(fs::exists(odd.File("logs")));
  }
}

}  // namespace
