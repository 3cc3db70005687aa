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
// digits with a name (line 4), a number given twice (lines 1 and 5).
const std::string kList =
    "79123456701 \xC8\xE2\xE0\xED\r\n"  // Иван
    "+44 20 7946 0958\r\n"
    "\r\n"
    "9123456789 \xCF\xE5\xF2\xF0\r\n"  // Петр
    "7 912 345-67-01\r\n";

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
      "  numbers         4 from the list file " + list + "\n",
      "                  1 given: 79123456702\n",
      "                  5 in all, sent from number 1 on\n",
      "  message         UCS2, 1 part, 6 characters\n",
      "  the phone shows \"" + std::string(kPrivet) + "\"\n",
      "warning: " + list +
          " line 2: more than 11 digits: the number is 44207946095, \"8\" goes to the text\n",
      "warning: number 3, 9123456789 (" + list +
          " line 4): ten digits take a Latin (7-bit) message only: it fails before anything is "
          "sent\n",
  };
  for (const std::string& line : plan) EXPECT_TRUE(Contains(run.err, line)) << line << run.err;

  EXPECT_EQ(run.out.substr(0, run.out.find("\n\n") + 1),
            "79123456701\t" + kAcceptedUtf8 + "\t\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\n" +  // Иван
                "44207946095\t" + kAcceptedUtf8 + "\t8\n" +
                "9123456789\t" + kSendErrorUtf8 + "\t\xD0\x9F\xD0\xB5\xD1\x82\xD1\x80\n" +  // Петр
                "79123456701\t" + kDuplicateUtf8 + "\t\n" +  // the first line's, marked by then
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
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_FALSE(Contains(run.err, "plan")) << run.err;
  EXPECT_TRUE(Contains(run.err, "warning: " + list + " line 2: more than 11 digits")) << run.err;
  EXPECT_FALSE(Contains(run.err, "9123456789"))
      << "ten digits go out with a Latin text: " << run.err;
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
