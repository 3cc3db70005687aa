// The settings file: reading the five keys, rebuilding the file on save, and
// where the file lies.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/XmlChildNodes.h"
#include "modem/Log.h"
#include "pdu/HexCompare.h"
#include "platform/CommandLine.h"
#include "platform/Files.h"
#include "platform/XmlDocument.h"
#include "support/LogFiles.h"
#include "support/TempDir.h"

namespace {

using testing_support::TempDir;

constexpr int kUntouched = 7;  // preset before a load, kept by absent keys

struct Settings {
  int32_t baudRate, port, check, minPause, maxPause;
};

bool operator==(const Settings& a, const Settings& b) {
  return a.baudRate == b.baudRate && a.port == b.port && a.check == b.check &&
         a.minPause == b.minPause && a.maxPause == b.maxPause;
}

std::ostream& operator<<(std::ostream& out, const Settings& s) {
  return out << "{" << s.baudRate << ", " << s.port << ", " << s.check << ", " << s.minPause
             << ", " << s.maxPause << "}";
}

Settings Of(const CEngine& engine) {
  return {engine.m_baudRate, engine.m_port, engine.m_checkDuplicates, engine.m_minPause,
          engine.m_maxPause};
}

void Set(CEngine& engine, const Settings& s) {
  engine.m_baudRate = s.baudRate;
  engine.m_port = s.port;
  engine.m_checkDuplicates = s.check;
  engine.m_minPause = s.minPause;
  engine.m_maxPause = s.maxPause;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// The saved file without the white space between tags, which the format
// leaves free.
std::string Compact(const std::string& xml) {
  constexpr char kSpace[] = " \t\r\n";
  std::string out;
  for (size_t i = 0; i < xml.size(); ++i) {
    if (std::strchr(kSpace, xml[i]) != nullptr) {
      const size_t end = std::min(xml.find_first_not_of(kSpace, i), xml.size());
      const bool betweenTags = (out.empty() || out.back() == '>') &&
                               (end == xml.size() || xml[end] == '<');
      if (betweenTags) {
        i = end - 1;
        continue;
      }
    }
    out += xml[i];
  }
  return out;
}

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"Windows-1251\"?>";

std::string SavedFile(const Settings& s) {
  auto element = [](const char* name, int value) {
    return "<" + std::string(name) + ">" + std::to_string(value) + "</" + name + ">";
  };
  return kDeclaration + std::string("<root>") + element("BAUDRATE", s.baudRate) +
         element("PORT", s.port) + element("CHECK", s.check) + element("TIMEOUT", s.minPause) +
         element("TIMEOUT2", s.maxPause) + "</root>";
}

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() { m_dir.UseAsProgramFolder("varnek.exe"); }

  std::string ConfigFile() const { return m_dir.File("varnek.xml"); }

  std::string ReadConfig() const {
    std::string contents;
    EXPECT_TRUE(platform::ReadWholeFile(ConfigFile(), contents));
    return Compact(contents);
  }

  TempDir m_dir;
};

TEST_F(SettingsTest, NoFileGivesZerosAndTheFirstSaveWritesAllKeys) {
  CEngine engine;
  EXPECT_EQ(Of(engine), (Settings{0, 0, 0, 0, 0}));
  engine.SaveSettings();
  EXPECT_TRUE(pdu_test::SameText(ReadConfig(), SavedFile({0, 0, 0, 0, 0})));
}

TEST_F(SettingsTest, SaveWritesTheFieldsAndLoadReadsThemBack) {
  const Settings written{9600, 3, 1, 10, 20};
  {
    CEngine engine;
    Set(engine, written);
  }  // teardown saves
  EXPECT_TRUE(pdu_test::SameText(ReadConfig(), SavedFile(written)));
  CEngine reread;
  EXPECT_EQ(Of(reread), written);
}

TEST_F(SettingsTest, SaveRebuildsTheFileInKeyOrderWithEachKeyOnce) {
  WriteBytes(ConfigFile(),
             "<root extra=\"1\"><TIMEOUT2>5</TIMEOUT2><PORT>3</PORT><PORT>4</PORT>"
             "<OTHER>x</OTHER><!-- note --><BAUDRATE>9600</BAUDRATE></root>");
  CEngine engine;
  EXPECT_EQ(Of(engine), (Settings{9600, 3, 0, 0, 5}));
  engine.SaveSettings();
  EXPECT_TRUE(pdu_test::SameText(ReadConfig(), SavedFile({9600, 3, 0, 0, 5})));
}

// The elements written only when set (the others' bytes above have none):
// the marker folder, read as a path of this system, the reports, the service
// centre and the stop words, each kept by a save, which rebuilds the file.
TEST_F(SettingsTest, TheOptionalElementsAreReadAndSurviveASave) {
  WriteBytes(ConfigFile(), std::string(kDeclaration) +
                               "<root><MARKERS>\\\\srv\\\xD0\xE0\xF1\xF1\xFB\xEB\xEA\xE0</MARKERS>"
                               "<REPORTS>\xE4\xE0</REPORTS><SMSC>+79168999100</SMSC>"
                               "<STOPWORDS>\xD1\xD2\xCE\xCF,NO</STOPWORDS></root>");
  std::string folder;
  {
    CEngine engine;
    folder = engine.m_markerFolder;
    // "\\srv\Рассылка" in UTF-8
    EXPECT_EQ(platform::PathToUtf8(folder),
              "\\\\srv\\\xD0\xA0\xD0\xB0\xD1\x81\xD1\x81\xD1\x8B\xD0\xBB\xD0\xBA\xD0\xB0");
    EXPECT_EQ(engine.m_requestReports, 1) << "\"да\"";
    EXPECT_TRUE(engine.m_settingNotes.empty());
  }  // teardown saves
  CEngine reread;
  EXPECT_EQ(reread.m_markerFolder, folder);
  EXPECT_EQ(reread.m_requestReports, 1);
  EXPECT_EQ(reread.m_smsc, "+79168999100");
  EXPECT_EQ(reread.m_stopWords, "\xD1\xD2\xCE\xCF,NO");
}

TEST_F(SettingsTest, SaveReplacesAFileThatIsNotWellFormed) {
  WriteBytes(ConfigFile(), "<root><PORT>3</PORT>");
  CEngine engine;
  engine.m_port = 2;
  engine.SaveSettings();
  EXPECT_TRUE(pdu_test::SameText(ReadConfig(), SavedFile({0, 2, 0, 0, 0})));
}

// The file as an earlier exit left it, with an old time, so that any
// rewrite shows even with the same bytes.
const Settings kOld{9600, 3, 1, 10, 20};
const Settings kNew{115200, 4, 0, 1, 2};

struct SaveFaultCase {
  const char* what;
  bool oldFile;                // a file from an earlier exit is there
  const char* staleTemporary;  // left by a save that was killed; null: none
  std::function<void(CEngine&)> act;
  bool oldSurvives;  // else the file holds kNew
};

TEST_F(SettingsTest, TheOldFileStaysWholeUnlessASaveReachesItsEnd) {
  namespace fs = std::filesystem;
  const auto killedBeforeTheReplace = [](CEngine& engine) {
    platform::FailFileReplacesForTests(true);
    engine.SaveSettings();
    platform::FailFileReplacesForTests(false);
  };
  const SaveFaultCase cases[] = {
      {"killed before the replace", true, nullptr, killedBeforeTheReplace, true},
      {"killed before the replace, no file yet", false, nullptr, killedBeforeTheReplace, true},
      {"teardown keeping the file", true, nullptr,
       [](CEngine& engine) { engine.Teardown(SettingsAtTeardown::Keep); }, true},
      {"teardown keeping the file, no file yet", false, nullptr,
       [](CEngine& engine) { engine.Teardown(SettingsAtTeardown::Keep); }, true},
      {"the temporary of a killed save is in the way", true, "<root><POR",
       [](CEngine& engine) { engine.SaveSettings(); }, false},
  };
  const std::string temporary = m_dir.File("varnek.tmp");
  // Whole seconds: Windows keeps file times in steps of 100 ns.
  const fs::file_time_type old = std::chrono::time_point_cast<std::chrono::seconds>(
      fs::file_time_type::clock::now() - std::chrono::hours(48));
  for (const SaveFaultCase& row : cases) {
    SCOPED_TRACE(row.what);
    platform::RemoveFile(ConfigFile());
    if (row.oldFile) {
      WriteBytes(ConfigFile(), SavedFile(kOld));
      fs::last_write_time(ConfigFile(), old);
    }
    if (row.staleTemporary != nullptr) WriteBytes(temporary, row.staleTemporary);
    {
      CEngine engine;
      Set(engine, kNew);
      row.act(engine);
      EXPECT_FALSE(platform::PathExists(temporary));
      const Settings expected = !row.oldSurvives ? kNew : row.oldFile ? kOld : Settings{};
      CEngine reread;
      EXPECT_EQ(Of(reread), expected);
      reread.Teardown(SettingsAtTeardown::Keep);
      engine.Teardown(SettingsAtTeardown::Keep);
    }
    std::string bytes;
    const bool exists = platform::ReadWholeFile(ConfigFile(), bytes);
    if (!row.oldSurvives) {
      EXPECT_TRUE(pdu_test::SameText(Compact(bytes), SavedFile(kNew)));
    } else if (row.oldFile) {
      EXPECT_EQ(bytes, SavedFile(kOld));
      EXPECT_TRUE(fs::last_write_time(ConfigFile()) == old);
    } else {
      EXPECT_FALSE(exists) << "not even an empty file";
    }
  }
}

struct LoadCase {
  const char* what;
  std::string file;
  Settings expected;
  // Each value not taken as it stood: "KEY=text->value/problem;"
  const char* notes = "";
};

constexpr const char* kProblemNames[] = {"", "empty", "not a number", "negative", "too large"};

std::string NotesOf(const CEngine& engine) {
  std::string notes;
  for (const CSettingNote& note : engine.m_settingNotes) {
    notes += note.m_key + "=" + note.m_text + "->" + std::to_string(note.m_value) + "/" +
             kProblemNames[static_cast<int>(note.m_problem)] + ";";
  }
  return notes;
}

const LoadCase kLoadCases[] = {
    {"all keys", "<root><BAUDRATE>9600</BAUDRATE><PORT>3</PORT><CHECK>1</CHECK>"
                 "<TIMEOUT>10</TIMEOUT><TIMEOUT2>20</TIMEOUT2></root>",
     {9600, 3, 1, 10, 20}},
    {"declared 1251 with Cyrillic around",
     "<?xml version=\"1.0\" encoding=\"Windows-1251\"?><!-- \xCF\xEE\xF0\xF2 -->"
     "<root><\xC8\xCC\xDF>\xE4\xE0</\xC8\xCC\xDF><PORT>3</PORT><CHECK>\xC4\xE0</CHECK></root>",
     {kUntouched, 3, 1, kUntouched, kUntouched}},  // "Да"
    {"UTF-8 without encoding", "<?xml version=\"1.0\"?><root><PORT>4</PORT></root>",
     {kUntouched, 4, kUntouched, kUntouched, kUntouched}},
    {"white space and comments around",
     "<?xml version=\"1.0\"?>\r\n<!-- settings -->\r\n<root>\r\n  <!-- port -->\r\n"
     "  <PORT>\r\n    3\r\n  </PORT>\r\n\t<CHECK> 1 </CHECK>\r\n</root>\r\n",
     {kUntouched, 3, 1, kUntouched, kUntouched}},
    {"lower-case keys and attributes are ignored",
     "<root BAUDRATE=\"9600\"><baudrate>4800</baudrate><Port>5</Port><PORT CHECK=\"1\">3</PORT>"
     "</root>",
     {kUntouched, 3, kUntouched, kUntouched, kUntouched}},
    {"first of two elements", "<root><PORT>3</PORT><PORT>4</PORT></root>",
     {kUntouched, 3, kUntouched, kUntouched, kUntouched}},
    {"leading integer", "<root><BAUDRATE>12abc</BAUDRATE><PORT>abc</PORT><CHECK>+8</CHECK>"
                        "<TIMEOUT>-5</TIMEOUT><TIMEOUT2>- 5</TIMEOUT2></root>",
     {12, 0, 8, 0, 0},
     "BAUDRATE=12abc->12/not a number;PORT=abc->0/not a number;TIMEOUT=-5->0/negative;"
     "TIMEOUT2=- 5->0/not a number;"},
    {"empty elements give 0", "<root><BAUDRATE></BAUDRATE><PORT/></root>",
     {0, 0, kUntouched, kUntouched, kUntouched}, "BAUDRATE=->0/empty;PORT=->0/empty;"},
    {"out of range: held to the limits",
     "<root><BAUDRATE>99999999999</BAUDRATE><PORT>-99999999999</PORT><CHECK>true</CHECK>"
     "<TIMEOUT>99999999999</TIMEOUT><TIMEOUT2>86401</TIMEOUT2></root>",
     {0, 0, 1, 86400, 86400},
     "BAUDRATE=99999999999->0/too large;PORT=-99999999999->0/negative;"
     "TIMEOUT=99999999999->86400/too large;TIMEOUT2=86401->86400/too large;"},
    {"text of CDATA, references and inner elements",
     "<root><BAUDRATE><![CDATA[9600]]></BAUDRATE><PORT>&#52;2</PORT>"
     "<CHECK>1<b>2</b></CHECK></root>",
     {9600, 42, 12, kUntouched, kUntouched}},
    {"keys only as children of root", "<root><x><PORT>3</PORT></x></root>",
     {kUntouched, kUntouched, kUntouched, kUntouched, kUntouched}},
    {"no root element", "<settings><PORT>3</PORT></settings>",
     {kUntouched, kUntouched, kUntouched, kUntouched, kUntouched}},
    {"not well-formed", "<root><PORT>3</PORT>",
     {kUntouched, kUntouched, kUntouched, kUntouched, kUntouched}},
    {"empty file", "", {kUntouched, kUntouched, kUntouched, kUntouched, kUntouched}},
};

TEST_F(SettingsTest, LoadReadsTheKeysOfRoot) {
  for (const LoadCase& row : kLoadCases) {
    SCOPED_TRACE(row.what);
    WriteBytes(ConfigFile(), row.file);
    CEngine engine;
    Set(engine, {kUntouched, kUntouched, kUntouched, kUntouched, kUntouched});
    engine.LoadSettings();
    EXPECT_EQ(Of(engine), row.expected);
    EXPECT_EQ(NotesOf(engine), row.notes);
    engine.Teardown();
  }
}

struct ValueCase {
  SettingKind kind;
  const char* text;  // 1251
  int32_t value;
  SettingProblem problem;
};

TEST(SettingValueTest, EveryKindTakesWhatAPersonWritesAndHoldsTheRestToItsLimits) {
  using K = SettingKind;
  using P = SettingProblem;
  const ValueCase cases[] = {
      {K::Flag, "1", 1, P::None},          {K::Flag, "0", 0, P::None},
      {K::Flag, "2", 2, P::None},          {K::Flag, "-1", -1, P::None},
      {K::Flag, " yes ", 1, P::None},      {K::Flag, "No", 0, P::None},
      {K::Flag, "TRUE", 1, P::None},       {K::Flag, "false", 0, P::None},
      {K::Flag, "да", 1, P::None},         {K::Flag, "ДА", 1, P::None},
      {K::Flag, "Нет", 0, P::None},        {K::Flag, "maybe", 1, P::NotANumber},
      {K::Flag, "0abc", 1, P::NotANumber}, {K::Flag, "", 1, P::Empty},
      {K::Flag, "99999999999", 1, P::TooLarge},
      {K::Pause, "30", 30, P::None},       {K::Pause, "86400", 86400, P::None},
      {K::Pause, "86401", 86400, P::TooLarge},
      {K::Pause, "-5", 0, P::Negative},    {K::Pause, "12s", 12, P::NotANumber},
      {K::Pause, "yes", 0, P::NotANumber}, {K::Pause, " \t", 0, P::Empty},
      {K::Speed, "115200", 115200, P::None}, {K::Speed, "0", 0, P::None},
      {K::Speed, "-9600", 0, P::Negative}, {K::Speed, "4000001", 0, P::TooLarge},
      {K::Speed, "fast", 0, P::NotANumber},
      {K::Port, "3", 3, P::None},          {K::Port, "-3", 0, P::Negative},
      {K::Port, "COM3", 0, P::NotANumber}, {K::Port, "3x", 3, P::NotANumber},
  };
  for (const ValueCase& row : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(row.kind)) + " \"" + row.text + "\"");
    const CSettingValue value = ReadSettingValue(row.kind, row.text);
    EXPECT_EQ(value.m_value, row.value);
    EXPECT_EQ(value.m_problem, row.problem);
  }
}

TEST_F(SettingsTest, ExternalEntitiesAreNotRead) {
  WriteBytes(m_dir.File("secret.txt"), "9");
  WriteBytes(ConfigFile(),
             "<!DOCTYPE root [<!ENTITY e SYSTEM \"secret.txt\">]><root><PORT>&e;</PORT></root>");
  CEngine engine;
  EXPECT_NE(engine.m_port, 9);
}

TEST(SettingsFolderTest, AnUnwritableFolderIsSilent) {
  TempDir dir;
  dir.UseAsProgramFolder(std::string("missing") + platform::kPathSeparator + "varnek.exe");
  {
    CEngine engine;
    engine.m_port = 3;
  }
  EXPECT_FALSE(platform::PathExists(dir.File("missing")));
}

// Beside a program whose folder path is longer than the old limits of 260
// bytes (248 for a folder on Windows): the settings file, the logs, a
// marker in a folder of its own.
TEST(SettingsFolderTest, AProgramFolderOfAnyLengthHoldsSettingsLogsAndMarkers) {
  const char sep = platform::kPathSeparator;
  for (size_t length : {250u, 300u}) {
    SCOPED_TRACE(length);
    TempDir dir;
    const std::string folder = dir.MakeFolderOfLength(length);
    ASSERT_EQ(folder.size(), length);
    dir.UseAsProgramFolder(folder.substr(dir.Path().size() + 1) + sep + "varnek.exe");
    {
      CEngine engine;
      Set(engine, kNew);
    }  // teardown saves
    CEngine reread;
    EXPECT_EQ(Of(reread), kNew);
    reread.Teardown(SettingsAtTeardown::Keep);

    std::string reason;
    EXPECT_TRUE(GetLog().CheckWritable(reason)) << reason;
    GetLog().Write("mess", "79001112233", 0, "OK");
    EXPECT_EQ(testing_support::LogTexts(folder, "mess", "79001112233"),
              std::vector<std::string>{"OK"});

    const std::string marker = folder + sep + "PHONES" + sep + "79001112233";
    EXPECT_TRUE(platform::CreateDir(folder + sep + "PHONES"));
    EXPECT_TRUE(platform::CreateNewEmptyFile(marker));
    EXPECT_TRUE(platform::PathExists(marker));
    std::string contents = "stale";
    EXPECT_TRUE(platform::ReadWholeFile(marker, contents));
    EXPECT_EQ(contents, "");
    EXPECT_TRUE(platform::RemoveFile(marker));
    EXPECT_FALSE(platform::PathExists(marker));
  }
}

TEST(XmlChildNodesTest, TextsSurviveASaveAndALoad) {
  TempDir dir;
  const std::string path = dir.File("texts.xml");
  {
    platform::XmlDocument document;
    ASSERT_TRUE(document.Create());
    ASSERT_TRUE(document.LoadText(u"<?xml version=\"1.0\" encoding=\"Windows-1251\" ?><root/>"));
    platform::XmlNode root = FindChildNode("root", document.Node());
    ASSERT_TRUE(root);
    SetChildText(root, "NAME", "first");
    SetChildText(root, "MARKUP", "a<b>&amp;\"' ]]>");
    SetChildText(root, "NAME", " second ");  // replaced, not added
    SetChildInt(root, "LOWEST", INT32_MIN);
    ASSERT_TRUE(document.SaveFile(path));
  }
  platform::XmlDocument document;
  ASSERT_TRUE(document.Create());
  ASSERT_TRUE(document.LoadFile(path));
  const platform::XmlNode root = FindChildNode("root", document.Node());
  const struct {
    const char* name;
    const char* text;
  } expected[] = {{"NAME", " second "}, {"MARKUP", "a<b>&amp;\"' ]]>"}, {"LOWEST", "-2147483648"}};
  for (const auto& row : expected) {
    std::string text;
    EXPECT_TRUE(GetChildText(root, row.name, text)) << row.name;
    EXPECT_EQ(text, row.text);
  }
  std::string text = "untouched";
  EXPECT_FALSE(GetChildText(root, "name", text));
  EXPECT_EQ(text, "untouched");
  int names = 0;
  for (platform::XmlNode child = root.FirstChild(); child; child = child.NextSibling()) {
    names += child.Name() == u"NAME";
  }
  EXPECT_EQ(names, 1);
}

struct PathCase {
  std::string program;  // '/' stands for the platform's separator
  std::string config;
};

std::string Native(std::string path) {
  for (char& c : path) {
    if (c == '/') c = platform::kPathSeparator;
  }
  return path;
}

TEST(ConfigPathTest, ReplacesTheExtensionOfTheFileNameOnly) {
  const std::string longFolder(240, 'd');
  const PathCase cases[] = {
      {"C:/Tools/send.exe", "C:/Tools/send.xml"},
      {"/opt/varnek/varnek", "/opt/varnek/varnek.xml"},
      {"/opt/var.nek/varnek", "/opt/var.nek/varnek.xml"},
      {"/opt/var.nek/varnek.exe", "/opt/var.nek/varnek.xml"},
      {"/opt/send.tar.gz", "/opt/send.tar.xml"},
      {"/opt/send.", "/opt/send.xml"},
      {"send.exe", "send.xml"},
      // No length is cut or refused: the system judges the path.
      {"/" + longFolder + "/" + std::string(14, 'n') + ".exe",
       "/" + longFolder + "/" + std::string(14, 'n') + ".xml"},
      {"/" + longFolder + "/" + std::string(500, 'n'),
       "/" + longFolder + "/" + std::string(500, 'n') + ".xml"},
  };
  for (const PathCase& row : cases) {
    SCOPED_TRACE(row.program);
    platform::SetProgramPathForTests(Native(row.program));
    EXPECT_EQ(CEngine::GetConfigPath(), Native(row.config));
  }
  platform::SetProgramPathForTests("");
}

}  // namespace
