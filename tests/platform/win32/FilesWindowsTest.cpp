// The file functions with folders and files named as Windows users name
// them, whatever the system's code page (the tests run with 1252). The
// names are made and checked with the UTF-16 functions, as Explorer makes
// them; the program reaches them through its 1251 paths.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/Files.h"
#include "platform/win32/WidePath.h"
#include "support/TempDir.h"

namespace {

bool ExistsWide(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteWide(const std::wstring& path, const std::string& contents) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
  CloseHandle(file);
  return written == contents.size();
}

struct FolderCase {
  const wchar_t* name;
  const char* name1251;  // how the program names it: '?' where 1251 has no letter
};

// A Cyrillic folder (the program copied to "C:\Рассылка"), one that 1251
// cannot write (a Chinese folder name), and both in one name.
constexpr FolderCase kFolders[] = {
    {L"Рассылка", "Рассылка"},
    {L"程序", "??"},
    {L"Рассылка 程序", "Рассылка ??"},
};

// The program folder as the system gives it, then what the program does
// there: the list file chosen in the file dialog, the settings file, logs,
// markers.
TEST(FilesWindows, FolderNamedBeyondTheCodePageWorksThroughIts1251Path) {
  testing_support::TempDir temp;
  const std::wstring base = platform::WidePath(temp.Path()) + L"\\";
  for (const FolderCase& c : kFolders) {
    SCOPED_TRACE(c.name1251);
    const std::wstring wide = base + c.name;
    ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr));
    ASSERT_TRUE(WriteWide(wide + L"\\список номеров.txt", "79001112233\r\n"));
    const std::string folder = platform::NarrowPath(wide);
    EXPECT_EQ(folder, temp.File(c.name1251));

    EXPECT_TRUE(platform::PathExists(folder));
    std::string list;
    EXPECT_TRUE(platform::ReadWholeFile(folder + "\\список номеров.txt", list));
    EXPECT_EQ(list, "79001112233\r\n");
    EXPECT_EQ(platform::ReadRegularFile(folder + "\\список номеров.txt", 100, list),
              platform::FileReadResult::Read);
    EXPECT_EQ(list, "79001112233\r\n");

    // The settings file: written aside, put in place, the rest removed.
    ASSERT_TRUE(WriteWide(wide + L"\\Varnek.xml.tmp", "<root/>"));
    EXPECT_TRUE(
        platform::ReplaceFileAtomically(folder + "\\Varnek.xml.tmp", folder + "\\Varnek.xml"));
    EXPECT_TRUE(ExistsWide(wide + L"\\Varnek.xml"));
    EXPECT_TRUE(platform::RemoveFile(folder + "\\Varnek.xml"));
    EXPECT_FALSE(ExistsWide(wide + L"\\Varnek.xml"));

    EXPECT_TRUE(platform::CreateDir(folder + "\\logs"));
    {
      platform::AppendFile log;
      ASSERT_TRUE(log.Open(folder + "\\logs\\2026_12_07.mess"));
      log.Write("line\r\n", 6);
    }
    EXPECT_TRUE(ExistsWide(wide + L"\\logs\\2026_12_07.mess"));
    EXPECT_TRUE(platform::CreateDir(folder + "\\PHONES"));
    EXPECT_TRUE(platform::CreateNewEmptyFile(folder + "\\PHONES\\79001112233"));
    EXPECT_TRUE(ExistsWide(wide + L"\\PHONES\\79001112233"));
    EXPECT_TRUE(platform::PathExists(folder + "\\PHONES\\79001112233"));
  }
}

// A 1251 path with '?' that no system path stands behind names nothing,
// although as a search pattern it would match a file of that length.
TEST(FilesWindows, QuestionMarksOfAnUnknownPathMatchNoFile) {
  testing_support::TempDir temp;
  const std::wstring chinese = platform::WidePath(temp.File("")) + L"文件.txt";
  ASSERT_TRUE(WriteWide(chinese, ""));
  EXPECT_FALSE(platform::PathExists(temp.File("??.txt")));
  std::string contents;
  EXPECT_FALSE(platform::ReadWholeFile(temp.File("??.txt"), contents));
}

struct WidePathCase {
  std::string path;
  std::wstring wide;
};

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// From 248 characters on, the long-path form, which the system takes
// literally: separators and "." or ".." parts are resolved first.
TEST(FilesWindows, LongPathsTakeTheLongPathForm) {
  const std::string name(120, 'n');
  const std::string at247 = "C:\\" + std::string(244, 'a');
  const std::string at248 = at247 + "a";
  const std::string deep = "C:\\" + name + "\\" + name;  // 244 characters
  wchar_t current[MAX_PATH * 4];
  const DWORD length = GetCurrentDirectoryW(MAX_PATH * 4, current);
  ASSERT_TRUE(length > 0 && length < MAX_PATH * 4);
  std::wstring here(current, length);
  if (here.back() != L'\\') here += L'\\';
  const WidePathCase cases[] = {
      {"C:\\Varnek\\logs", L"C:\\Varnek\\logs"},
      {at247, Wide(at247)},
      {at248, L"\\\\?\\" + Wide(at248)},
      {deep + "\\PHONES\\79001112233", L"\\\\?\\" + Wide(deep) + L"\\PHONES\\79001112233"},
      {"C:/" + name + "/" + name + "/logs/x", L"\\\\?\\" + Wide(deep) + L"\\logs\\x"},
      {deep + "\\.\\logs\\..\\PHONES\\.\\x", L"\\\\?\\" + Wide(deep) + L"\\PHONES\\x"},
      {"\\\\server\\share\\" + name + "\\" + name,
       L"\\\\?\\UNC\\server\\share\\" + Wide(name) + L"\\" + Wide(name)},
      {"\\\\?\\" + deep + "\\.\\x", L"\\\\?\\" + Wide(deep) + L"\\.\\x"},
      {"\\\\.\\COM5", L"\\\\.\\COM5"},
      {name + "\\" + name + "\\PHONES\\x",
       L"\\\\?\\" + here + Wide(name) + L"\\" + Wide(name) + L"\\PHONES\\x"},
      {"C:\\\xD0\xE0\xF1\xF1\xFB\xEB\xEA\xE0\\" + std::string(250, 'a'),
       L"\\\\?\\C:\\Рассылка\\" + std::wstring(250, L'a')},
  };
  for (const WidePathCase& row : cases) {
    EXPECT_EQ(platform::WidePath(row.path), row.wide) << row.path;
  }
}

}  // namespace
