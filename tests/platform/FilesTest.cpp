#include <gtest/gtest.h>

#include <string>

#include "platform/Files.h"
#include "support/TempDir.h"

namespace {

using testing_support::TempDir;

void AppendText(const std::string& path, const std::string& text) {
  platform::AppendFile file;
  ASSERT_TRUE(file.Open(path));
  file.Write(text.data(), text.size());
}

std::string Contents(const std::string& path) {
  std::string contents;
  EXPECT_TRUE(platform::ReadWholeFile(path, contents)) << path;
  return contents;
}

TEST(Files, AppendKeepsWhatTheFileHeld) {
  TempDir dir;
  const std::string path = dir.File("2026_12_07.modem");
  AppendText(path, "first\r\n");
  AppendText(path, "second\r\n");
  EXPECT_EQ(Contents(path), "first\r\nsecond\r\n");
}

TEST(Files, AppendedFileCanBeReadWhileItIsOpen) {
  TempDir dir;
  const std::string path = dir.File("open.log");
  platform::AppendFile file;
  ASSERT_TRUE(file.Open(path));
  EXPECT_TRUE(file.IsOpen());
  file.Write("abc", 3);
  EXPECT_EQ(Contents(path), "abc");
  file.Close();
  EXPECT_FALSE(file.IsOpen());
}

TEST(Files, WholeFileIsReadAcrossManyPieces) {
  TempDir dir;
  const std::string path = dir.File("big");
  std::string big;
  for (int i = 0; i < 20000; ++i) big += static_cast<char>(i % 251);
  AppendText(path, big);
  EXPECT_EQ(Contents(path), big);
  std::string contents = "stale";
  EXPECT_FALSE(platform::ReadWholeFile(dir.File("missing"), contents));
}

TEST(Files, CreateNewEmptyFileRefusesExistingPaths) {
  TempDir dir;
  const std::string path = dir.File("79161234567");
  EXPECT_FALSE(platform::PathExists(path));
  EXPECT_TRUE(platform::CreateNewEmptyFile(path));
  EXPECT_TRUE(platform::PathExists(path));
  EXPECT_EQ(Contents(path), "");
  EXPECT_FALSE(platform::CreateNewEmptyFile(path));
  EXPECT_FALSE(platform::CreateNewEmptyFile(dir.File("no-folder") + platform::kPathSeparator + "x"));
}

TEST(Files, CreateDirMakesOneFolderOnce) {
  TempDir dir;
  const std::string folder = dir.File("PHONES");
  EXPECT_TRUE(platform::CreateDir(folder));
  EXPECT_TRUE(platform::PathExists(folder));
  EXPECT_FALSE(platform::CreateDir(folder));
  const std::string nested = dir.File("a") + platform::kPathSeparator + "b";
  EXPECT_FALSE(platform::CreateDir(nested));
  EXPECT_FALSE(platform::PathExists(nested));
}

struct RegularFileCase {
  const char* what;
  std::string path;
  size_t limit;
  platform::FileReadResult result;
  std::string contents;
};

TEST(Files, ReadRegularFileTakesWholeRegularFilesWithinTheLimitOnly) {
  using R = platform::FileReadResult;
  TempDir dir;
  AppendText(dir.File("ten"), "0123456789");
  AppendText(dir.File("empty"), "");
  // A device that never ends: reading it whole would take all memory.
  const std::string endless = platform::kPathSeparator == '/' ? "/dev/zero" : "NUL";
  const RegularFileCase cases[] = {
      {"within the limit", dir.File("ten"), 11, R::Read, "0123456789"},
      {"at the limit", dir.File("ten"), 10, R::Read, "0123456789"},
      {"over the limit", dir.File("ten"), 9, R::TooLarge, ""},
      {"empty", dir.File("empty"), 0, R::Read, ""},
      {"a folder", dir.Path(), 100, R::NotRegular, ""},
      {"a device", endless, 100, R::NotRegular, ""},
      {"missing", dir.File("missing"), 100, R::CannotOpen, ""},
  };
  for (const RegularFileCase& row : cases) {
    std::string contents = "stale";
    EXPECT_EQ(platform::ReadRegularFile(row.path, row.limit, contents), row.result) << row.what;
    EXPECT_EQ(contents, row.contents) << row.what;
  }
}

TEST(Files, ProgramPathCanBeRedirectedAndRestored) {
  const std::string real = platform::ProgramPath();
  ASSERT_FALSE(real.empty());
  EXPECT_NE(real.find("test_platform"), std::string::npos) << real;
  EXPECT_EQ(platform::ProgramFolder(), real.substr(0, real.rfind(platform::kPathSeparator)));
  {
    TempDir dir;
    dir.UseAsProgramFolder("varnek.exe");
    EXPECT_EQ(platform::ProgramPath(), dir.File("varnek.exe"));
    EXPECT_EQ(platform::ProgramFolder(), dir.Path());
  }
  EXPECT_EQ(platform::ProgramPath(), real);
}

TEST(Files, ProgramFolderIsEmptyWithoutASeparator) {
  platform::SetProgramPathForTests("varnek.exe");
  EXPECT_EQ(platform::ProgramFolder(), "");
  platform::SetProgramPathForTests("");
}

}  // namespace
