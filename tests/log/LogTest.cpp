// The log writer: exact line bytes, one file per name and day, the day
// change, appending, and the word it gives when nothing can be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "modem/Log.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "support/TempDir.h"

namespace {

platform::LocalTime g_fakeTime;
platform::LocalTime FakeNow() { return g_fakeTime; }

class LogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir.UseAsProgramFolder();
    g_fakeTime = {2026, 12, 7, 14, 5, 9, 42};
    platform::SetLocalTimeSourceForTests(&FakeNow);
  }
  void TearDown() override { platform::SetLocalTimeSourceForTests(nullptr); }

  std::string LogFile(const std::string& name) const {
    return m_dir.File("logs") + platform::kPathSeparator + name;
  }
  std::string Contents(const std::string& name) const {
    std::string text;
    platform::ReadWholeFile(LogFile(name), text);
    return text;
  }

  testing_support::TempDir m_dir;
  CLog m_log;
};

TEST_F(LogTest, LineWithoutCodeHasSourceBlankThenText) {
  m_log.Write("engine", "SendSMS", 0, "OK");
  EXPECT_EQ(Contents("2026_12_07.engine"), "2026-12-07 14:05:09,042 SendSMS OK\r\n");
}

TEST_F(LogTest, LineWithCodeKeepsTheTextsOwnCarriageReturn) {
  m_log.Write("modem", "OUT", 3, "at\r");
  EXPECT_EQ(Contents("2026_12_07.modem"), "2026-12-07 14:05:09,042 OUT 3 at\r\r\n");
}

TEST_F(LogTest, NegativeCodeIsWrittenAndCyrillicBytesPassUnchanged) {
  m_log.Write("mess", "79001234567", -1, "\xCE\xEA");
  EXPECT_EQ(Contents("2026_12_07.mess"), "2026-12-07 14:05:09,042 79001234567 -1 \xCE\xEA\r\n");
}

TEST_F(LogTest, TwoNamesGoToTwoFilesOfTheSameDay) {
  m_log.Write("modem", "IN", 1, "a");
  m_log.Write("engine", "FindPort", 0, "b");
  m_log.Write("modem", "IN", 1, "c");
  EXPECT_EQ(Contents("2026_12_07.modem"),
            "2026-12-07 14:05:09,042 IN 1 a\r\n2026-12-07 14:05:09,042 IN 1 c\r\n");
  EXPECT_EQ(Contents("2026_12_07.engine"), "2026-12-07 14:05:09,042 FindPort b\r\n");
}

TEST_F(LogTest, FirstLineAfterMidnightGoesToTheNewDaysFile) {
  g_fakeTime = {2026, 12, 7, 23, 59, 59, 999};
  m_log.Write("modem", "IN", 1, "late");
  g_fakeTime = {2026, 12, 8, 0, 0, 0, 1};
  m_log.Write("modem", "IN", 1, "early");
  EXPECT_EQ(Contents("2026_12_07.modem"), "2026-12-07 23:59:59,999 IN 1 late\r\n");
  EXPECT_EQ(Contents("2026_12_08.modem"), "2026-12-08 00:00:00,001 IN 1 early\r\n");
}

TEST_F(LogTest, SameDayOfAnotherMonthIsANewDay) {
  m_log.Write("engine", "S", 0, "november");
  g_fakeTime.month = 1;
  g_fakeTime.year = 2027;
  m_log.Write("engine", "S", 0, "january");
  EXPECT_NE(Contents("2027_01_07.engine").find("january"), std::string::npos);
  EXPECT_EQ(Contents("2026_12_07.engine").find("january"), std::string::npos);
}

TEST_F(LogTest, ExistingFileOfTheDayIsAppendedTo) {
  m_log.Write("engine", "S", 0, "first");
  m_log.Reset();  // the first run ends (Windows shares an open log for reading only)
  CLog second;
  second.Write("engine", "S", 0, "second");
  EXPECT_EQ(Contents("2026_12_07.engine"),
            "2026-12-07 14:05:09,042 S first\r\n2026-12-07 14:05:09,042 S second\r\n");
}

TEST_F(LogTest, OverlongSourceIsCutInsideThePrefixBuffer) {
  std::string source(300, 's');
  m_log.Write("engine", source.c_str(), 7, "text");
  std::string line = Contents("2026_12_07.engine");
  EXPECT_EQ(line.size(), 99u + 4u + 2u);  // the prefix keeps 99 bytes
  EXPECT_EQ(line.substr(line.size() - 6), "text\r\n");
}

struct LossCase {
  const char* what;
  // Makes the logs unwritable; false when this system cannot.
  std::function<bool(const testing_support::TempDir&)> block;
  bool checkFirst;  // CheckWritable before the first line
};

// A plain file where the "logs" folder should be: nothing can be created.
bool LogsAsAFile(const testing_support::TempDir& dir) {
  return platform::CreateNewEmptyFile(dir.File("logs"));
}

// Today's file leads to a device that is always full.
bool FullDisk(const testing_support::TempDir& dir) {
  std::error_code error;
  if (!std::filesystem::exists("/dev/full", error)) return false;
  std::filesystem::create_directory(dir.File("logs"));
  std::filesystem::create_symlink("/dev/full", dir.File("logs/2026_12_07.engine"), error);
  return !error;
}

TEST_F(LogTest, LogsThatCannotBeWrittenAreToldOnceAndWrittenAgainOnceTheyCan) {
  const LossCase cases[] = {
      {"logs is a file", LogsAsAFile, false},
      {"logs is a file, found by the check", LogsAsAFile, true},
      {"a full disk", FullDisk, false},
  };
  for (const LossCase& row : cases) {
    SCOPED_TRACE(row.what);
    std::filesystem::remove_all(m_dir.File("logs"));
    if (!row.block(m_dir)) continue;
    CLog log;
    std::vector<std::string> told;
    log.SetFailureListener([&](const std::string& folder, const std::string& reason) {
      told.push_back(folder + ": " + reason);
      log.Write("engine", "S", 0, "the listener may write");  // no lock held
    });
    std::string reason;
    if (row.checkFirst) {
      EXPECT_FALSE(log.CheckWritable(reason));
      EXPECT_NE(reason, "");
    }
    log.Write("engine", "S", 0, "lost");
    log.Write("engine", "S", 0, "lost too");
    if (row.checkFirst) {
      EXPECT_TRUE(told.empty()) << "told by the check already";
    } else {
      ASSERT_EQ(told.size(), 1u);
      EXPECT_GT(told[0].size(), (m_dir.File("logs") + ": ").size()) << told[0];
      EXPECT_EQ(told[0].rfind(m_dir.File("logs") + ": ", 0), 0u) << told[0];
    }

    std::filesystem::remove_all(m_dir.File("logs"));
    EXPECT_TRUE(log.CheckWritable(reason));
    EXPECT_EQ(reason, "");
    log.Write("engine", "S", 0, "kept");
    EXPECT_EQ(Contents("2026_12_07.engine"), "2026-12-07 14:05:09,042 S kept\r\n");
  }
}

}  // namespace
