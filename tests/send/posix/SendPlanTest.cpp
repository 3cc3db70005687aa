// varnek-send says what a run is about to do before the first number, and a
// dry run shows what it would do while touching nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "send/posix/SendFolder.h"

namespace {

using namespace send_test;
using testing_support::SimProcess;

// Code page 1251: a number cut at 11 digits (line 2), an empty line, ten
// digits with a name (line 4), a number given twice (lines 1 and 5), a
// number too short to be sent (line 6).
const std::string kList =
    "79123456701 \xC8\xE2\xE0\xED\r\n"  // Иван
    "+44 20 7946 0958\r\n"
    "\r\n"
    "9123456789 \xCF\xE5\xF2\xF0\r\n"  // Петр
    "7 912 345-67-01\r\n"
    "12345\r\n";

const std::string kSendErrorUtf8 =
    "\xD0\x9E\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0 "
    "\xD0\xBE\xD1\x82\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xBA\xD0\xB8";  // Ошибка отправки
const std::string kDuplicateUtf8 =
    "\xD0\x94\xD1\x83\xD0\xB1\xD0\xBB\xD0\xB8\xD1\x80\xD0\xBE\xD0\xB2\xD0\xB0"
    "\xD0\xBD\xD0\xB8\xD0\xB5 "
    "\xD0\xBD\xD0\xBE\xD0\xBC\xD0\xB5\xD1\x80\xD0\xB0";  // Дублирование номера

std::vector<std::string> FolderEntries(const SendFolder& folder) {
  std::vector<std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(folder.File(""))) {
    if (entry.path().filename() != "stdout.txt" && entry.path().filename() != "stderr.txt") {
      entries.push_back(entry.path());
    }
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

TEST(SendPlan, DryRunShowsThePlanAndWhatWouldBeSentAndTouchesNothing) {
  SendFolder folder;
  const SettingsFile settings(folder, kSettingsFile);
  const std::string list = folder.File("phones.txt");
  WriteAll(list, kList);
  fs::create_directory(folder.File("PHONES"));
  WriteAll(folder.File("PHONES/79123456702"), "");  // served by an earlier run
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  const std::vector<std::string> before = FolderEntries(folder);

  const RunResult run = folder.Run(Args(sim, {"--baud", "115200", "--list", list, "--number",
                                              "79123456702", "--text", kPrivet, "--dry-run"}));
  EXPECT_EQ(run.status, 1) << "a number cannot be sent: " << run.err;
  const std::vector<std::string> plan = {
      "varnek-send plan:\n",
      "  port            COM99 (" + sim.LinkPath() + "), 115200 bit/s\n",
      "  duplicates      checked, markers in " + folder.File("PHONES") +
          " (1 of these numbers marked already)\n",
      "  pause           0 s after each message sent\n",
      "  piece pause     200 ms after each 32 characters of PDU text\n",
      "  settings        " + folder.File("varnek-send.xml") + " (read, never written)\n",
      "  numbers         5 from the list file " + list +
          "; 1 cut at 11 digits, 1 cannot be sent, 1 sent as 7...\n",
      "                  1 given: 79123456702\n",
      "                  6 in all, sent from number 1 on\n",
      "  message         UCS2, 1 part, 6 characters\n",
      "  the phone shows \"" + std::string(kPrivet) + "\"\n",
      "warning: " + list +
          " line 2: more than 11 digits: the number is 44207946095, \"8\" goes to the text\n",
      "warning: number 3, 9123456789 (" + list +
          " line 4): sent as 79123456789: ten digits: the country code 7 is put in front\n",
      "warning: number 5, 12345 (" + list +
          " line 6): 5 digits, where 10 or 11 are needed: it fails before anything is sent\n",
  };
  for (const std::string& line : plan) EXPECT_TRUE(Contains(run.err, line)) << line << run.err;

  EXPECT_EQ(run.out.substr(0, run.out.find("\n\n") + 1),
            "79123456701\t" + kAcceptedUtf8 + "\t\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\n" +  // Иван
                "44207946095\t" + kAcceptedUtf8 + "\t8\n" +
                "9123456789\t" + kAcceptedUtf8 + "\t\xD0\x9F\xD0\xB5\xD1\x82\xD1\x80\n" +  // Петр
                "79123456701\t" + kDuplicateUtf8 + "\t\n" +  // the first line's, marked by then
                "12345\t" + kSendErrorUtf8 + "\t\n" +
                "79123456702\t" + kDuplicateUtf8 + "\t\n")
      << run.out;

  EXPECT_EQ(FolderEntries(folder), before) << "no log, no marker, no settings";
  EXPECT_TRUE(settings.Unchanged());
  EXPECT_TRUE(sim.Transcript().find("IN  ") == std::string::npos) << sim.Transcript();

  // No port is opened: a device that is not there does not end a dry run.
  const RunResult missing = folder.Run(
      {"--device", folder.File("ttyUSB7"), "--number", "79123456703", "--text", "Hi", "--dry-run"});
  EXPECT_EQ(missing.status, 0) << missing.err;
  EXPECT_TRUE(Contains(missing.out, "79123456703\t" + kAcceptedUtf8 + "\t\n")) << missing.out;
}

TEST(SendPlan, QuietLeavesOutThePlanButNotItsWarnings) {
  SendFolder folder;
  const std::string list = folder.File("phones.txt");
  WriteAll(list, kList);
  const RunResult run =
      folder.Run({"--port", "5", "--list", list, "--text", "Hi", "--dry-run", "--quiet"});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_FALSE(Contains(run.err, "plan")) << run.err;
  EXPECT_TRUE(Contains(run.err, "warning: " + list + " line 2: more than 11 digits")) << run.err;
  EXPECT_TRUE(Contains(run.err, "warning: number 5, 12345 (" + list + " line 6)")) << run.err;
}

// Code page 1251, a line for every way the loader may not take a line as it
// stands; twelve numbers too short, of which ten are named.
std::string EveryIssueList() {
  std::string list =
      "\xC8\xE2\xE0\xED 79123456701\r\n"  // Иван
      "tel:+79123456702\r\n"
      "\xD2\xE5\xEB\xE5\xF4\xEE\xED\xFB\r\n"  // Телефоны
      "\xEF\xBB\xBF" "79123456703 \xCF\xE5\xF2\xF0\r\n"  // Петр, after two files joined
      "7916123451x7\r\n"
      "791234567041\r\n"
      "12345\r\n"
      "8 912 345-67-05\r\n"
      "9123456706\r\n";
  for (int i = 0; i < 11; ++i) list += "1\r\n";
  return list;
}

struct WarningRow {
  const char* language;  // --lang
  std::string warning;   // UTF-8; {L} stands for the list's path
};

TEST(SendPlan, EveryLineNotTakenAsItStandsIsNamedWithItsLineInEitherLanguage) {
  SendFolder folder;
  const std::string list = folder.File("phones.txt");
  WriteAll(list, EveryIssueList());
  const WarningRow rows[] = {
      {"en", "  numbers         17 from the list file {L}; 3 lines dropped, 1 byte order mark "
             "skipped, 1 number ends at a letter, 1 cut at 11 digits, 12 cannot be sent, 2 sent "
             "as 7...\n"},
      {"en", "warning: {L} line 1: text before the number: the line is dropped: "
             "\"\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD 79123456701\"\n"},
      {"en", "warning: {L} line 2: text before the number: the line is dropped: "
             "\"tel:+79123456702\"\n"},
      {"en", "warning: {L} line 3: no number: the line is dropped: \"\xD0\xA2\xD0\xB5\xD0\xBB"},
      {"en", "warning: {L} line 4: a byte order mark at the start of the line is skipped"},
      {"en", "warning: {L} line 5: a letter inside the number: the number is 7916123451, "
             "\"x7\" goes to the text\n"},
      {"en", "warning: {L} line 6: more than 11 digits: the number is 79123456704, \"1\" goes to "
             "the text\n"},
      {"en", "warning: number 4, 12345 ({L} line 7): 5 digits, where 10 or 11 are needed: it "
             "fails before anything is sent\n"},
      {"en", "warning: number 5, 89123456705 ({L} line 8): sent as 79123456705: the domestic 8 "
             "becomes the country code 7\n"},
      {"en", "warning: number 6, 9123456706 ({L} line 9): sent as 79123456706: ten digits: the "
             "country code 7 is put in front\n"},
      {"en", "warning: number 15, 1 ({L} line 18): 1 digit, where 10 or 11 are needed"},
      {"en", "warning: {L}: 2 more lines like these\n"},
      // внимание: {L}, строка 1: текст перед номером, строка пропущена
      {"ru", "\xD0\xB2\xD0\xBD\xD0\xB8\xD0\xBC\xD0\xB0\xD0\xBD\xD0\xB8\xD0\xB5: {L}, "
             "\xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xD0\xBA\xD0\xB0 1: \xD1\x82\xD0\xB5\xD0\xBA"
             "\xD1\x81\xD1\x82 \xD0\xBF\xD0\xB5\xD1\x80\xD0\xB5\xD0\xB4 \xD0\xBD\xD0\xBE"
             "\xD0\xBC\xD0\xB5\xD1\x80\xD0\xBE\xD0\xBC, "},
      // 3 строки пропущены
      {"ru", "; 3 \xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xD0\xBA\xD0\xB8 "
             "\xD0\xBF\xD1\x80\xD0\xBE\xD0\xBF\xD1\x83\xD1\x89\xD0\xB5\xD0\xBD\xD1\x8B, "},
      // номера          17 из файла списка
      {"ru", "  \xD0\xBD\xD0\xBE\xD0\xBC\xD0\xB5\xD1\x80\xD0\xB0          17 "
             "\xD0\xB8\xD0\xB7 \xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB\xD0\xB0 "},
  };
  for (const char* language : {"en", "ru"}) {
    const RunResult run = folder.Run(
        {"--port", "5", "--list", list, "--text", "Hi", "--dry-run", "--lang", language});
    EXPECT_EQ(run.status, 1) << run.err;
    for (const WarningRow& row : rows) {
      if (std::string(row.language) != language) continue;
      std::string warning = row.warning;
      const size_t mark = warning.find("{L}");
      if (mark != std::string::npos) warning.replace(mark, 3, list);
      EXPECT_TRUE(Contains(run.err, warning)) << warning << "\nin:\n" << run.err;
    }
  }
}

struct LocaleCase {
  std::vector<std::pair<std::string, std::string>> environment;
  std::vector<std::string> options;
  bool russian;
};

// "varnek-send, план:" or "varnek-send plan:", as the operator's locale or
// --lang says.
TEST(SendPlan, ThePlanFollowsTheLocaleAndLang) {
  const LocaleCase cases[] = {
      {{}, {}, false},
      {{{"LANG", "ru_RU.UTF-8"}}, {}, true},
      {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "ru_RU.UTF-8"}}, {}, true},
      {{{"LANG", "ru_RU.UTF-8"}, {"LC_ALL", "C"}}, {}, false},
      {{{"LANG", "ru_RU.UTF-8"}}, {"--lang", "en"}, false},
      {{}, {"--lang=ru"}, true},
  };
  const std::string russianTitle = "varnek-send, \xD0\xBF\xD0\xBB\xD0\xB0\xD0\xBD:\n";
  for (const LocaleCase& c : cases) {
    SendFolder folder;
    for (const auto& variable : c.environment) folder.SetEnvironment(variable.first, variable.second);
    std::vector<std::string> args = {"--port", "5", "--number", "79123456701", "--text", "Hi",
                                     "--dry-run"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const RunResult run = folder.Run(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Contains(run.err, russianTitle), c.russian) << run.err;
    EXPECT_EQ(Contains(run.err, "varnek-send plan:\n"), !c.russian) << run.err;
  }
}

struct DryRunCase {
  std::vector<std::string> args;
  int status;
  std::string out;  // the whole table; "" with an error
  const char* error;
};

// A dry run is the run without the modem: from --from on, and refused where
// the run would be refused before it opens a port.
TEST(SendPlan, DryRunStartsAtFromAndRefusesWhatTheRunWould) {
  const std::string table =
      "79123456702\t" + kAcceptedUtf8 + "\t\n79123456703\t" + kAcceptedUtf8 + "\t\n\n" +
      kAcceptedUtf8 + ": 2\n";
  const DryRunCase cases[] = {
      {{"--port", "5", "--from", "2"}, 0, table, ""},
      {{}, 2, "", "varnek-send: no port to send through: give --port N or --device PATH"},
  };
  for (const DryRunCase& c : cases) {
    SendFolder folder;
    std::vector<std::string> args = {"--number", "79123456701", "--number", "79123456702",
                                     "--number", "79123456703", "--text", "Hi", "--dry-run"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const RunResult run = folder.Run(args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.out.substr(0, c.out.size()), c.out);
    EXPECT_TRUE(Contains(run.err, c.error)) << run.err;
    if (c.out.empty()) {
      EXPECT_EQ(run.out, "");
    }
  }
}

// A run stopped at "3/5" goes on with --from 3: both count from 1.
TEST(SendPlan, FromCountsAsTheProgressLinesDo) {
  SendFolder folder;
  SimProcess sim(kSimPort);
  ASSERT_TRUE(sim.Started());
  const RunResult run =
      folder.Run(Args(sim, {"--number", "79123456701", "--number", "79123456702", "--number",
                            "79123456703", "--text", "Hi", "--from", "2"}));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.err, "sent from number 2 on\n")) << run.err;
  EXPECT_FALSE(Contains(run.err, "1/3 ")) << run.err;
  EXPECT_TRUE(Contains(run.err, "2/3 79123456702 " + kSentUtf8 + "\n")) << run.err;
  EXPECT_TRUE(Contains(run.out, "79123456701\t" + kAcceptedUtf8 + "\t\n")) << run.out;
  EXPECT_EQ(sim.Submissions().size(), 2u);
}

}  // namespace
