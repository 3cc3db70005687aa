// The phone list: list files and masks.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "platform/Files.h"
#include "support/TempDir.h"

namespace {

using testing_support::TempDir;

struct Entry {
  std::string number;
  std::string text;
};

bool operator==(const Entry& a, const Entry& b) { return a.number == b.number && a.text == b.text; }

std::ostream& operator<<(std::ostream& out, const Entry& e) {
  return out << "{\"" << e.number << "\", \"" << e.text << "\"}";
}

std::vector<Entry> Entries(const CEngine& engine) {
  std::vector<Entry> entries;
  for (const CListItem& item : engine.m_items) {
    EXPECT_EQ(item.m_state, Accepted);
    entries.push_back({item.m_number, item.m_text});
  }
  return entries;
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

class PhoneListTest : public ::testing::Test {
 protected:
  PhoneListTest() { m_dir.UseAsProgramFolder("varnek.exe"); }

  std::vector<Entry> Load(const std::string& contents) {
    const std::string path = m_dir.File("list.txt");
    std::ofstream(path, std::ios::binary) << contents;
    m_engine.ClearList();
    m_engine.LoadListFile(path.c_str());
    return Entries(m_engine);
  }

  std::vector<Entry> LoadText(const std::string& contents) {
    m_engine.ClearList();
    m_engine.LoadListText(contents);
    return Entries(m_engine);
  }


  TempDir m_dir;  // outlives the engine, which saves its settings there
  CEngine m_engine;
};

struct ListCase {
  const char* what;
  std::string file;  // LF line endings; each row also runs with CR LF
  std::vector<Entry> expected;
};

// Cyrillic as code page 1251 bytes: "Иван" and "Я".
#define IVAN "\xC8\xE2\xE0\xED"
#define YA "\xDF"

const ListCase kListCases[] = {
    {"separators dropped, text after", "7 (123) 456-78-90 " IVAN "\n", {{"71234567890", IVAN}}},
    {"plus and dashes", "+7-123-456-78-90\n", {{"71234567890", ""}}},
    {"twelfth digit starts the text", "712345678901\n", {{"71234567890", "1"}}},
    {"separator after 11 digits starts the text", "71234567890 (" IVAN ")\n",
     {{"71234567890", "(" IVAN ")"}}},
    {"text first gives no item", IVAN " 71234567890\n", {}},
    {"short number kept", "12345\n", {{"12345", ""}}},
    {"blanks after 11 digits dropped", "71234567890 \t -5\n", {{"71234567890", "-5"}}},
    {"digits inside the text", "7 a 1-2 (3)\n", {{"7", "a 1-2 (3)"}}},
    {"Cyrillic starts the text", "12" YA "3\n", {{"12", YA "3"}}},
    {"bytes from 128 start the text", "5\x80" "6\n9\xFF\n", {{"5", "\x80" "6"}, {"9", "\xFF"}}},
    {"a high byte before any digit", "\xB9" "71234567890\n", {}},
    {"empty and blank lines add nothing", "\n\n \t\n()-+\n1\n\n", {{"1", ""}}},
    {"lines in file order", "3\n1\n2\n", {{"3", ""}, {"1", ""}, {"2", ""}}},
    {"last line without ending", "1 a\n2", {{"1", "a"}, {"2", ""}}},
    {"last line with text without ending", "1\n2 b", {{"1", ""}, {"2", "b"}}},
    {"last line of text only", "1\nabc", {{"1", ""}}},
    {"zero bytes add nothing", std::string("7\0" "12 a\0b\n\0" "5\n", 12),
     {{"712", "ab"}, {"5", ""}}},
    {"empty file", "", {}},
    {"a byte order mark at the start", "\xEF\xBB\xBF" "1\n", {{"1", ""}}},
    {"a byte order mark where two files were joined", "1\n\xEF\xBB\xBF" "2 a\n\xEF\xBB\xBF",
     {{"1", ""}, {"2", "a"}}},
    {"a byte order mark after a blank is text", " \xEF\xBB\xBF" "1\n", {}},
    {"the start of a mark is text", "\xEF\xBB" "1\n\xEF" "2\n", {}},
};

TEST_F(PhoneListTest, LoadsOneItemPerLineWithANumber) {
  for (const ListCase& row : kListCases) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(Load(row.file), row.expected);
    EXPECT_EQ(Load(WithCrLf(row.file)), row.expected) << "with CR LF";
    EXPECT_EQ(LoadText(row.file), row.expected) << "from memory";
  }
}

struct NoteRow {
  int line;
  ListLineIssue issue;
  const char* number;  // of the item; null for a dropped line
};

struct ReportCase {
  const char* what;
  std::string file;  // LF line endings; each row also runs with CR LF
  std::vector<NoteRow> notes;
};

TEST_F(PhoneListTest, TheReportNamesEveryLineNotTakenAsItStands) {
  using I = ListLineIssue;
  const ReportCase cases[] = {
      {"a name before the number", "79123456700\n" IVAN " 79123456701\n", {{2, I::TextBeforeNumber, nullptr}}},
      {"tel:", "tel:+79123456701\n", {{1, I::TextBeforeNumber, nullptr}}},
      {"nothing but text", IVAN "\n\n()\n", {{1, I::NoNumber, nullptr}}},
      {"a letter inside the number", "7916123451x7\n12" YA "3 a\n",
       {{1, I::LetterInNumber, "7916123451"}, {2, I::LetterInNumber, "12"}}},
      {"more than 11 digits", "712345678901\n7 912 345 67 01 - 5\n",
       {{1, I::CutAtEleven, "71234567890"}, {2, I::CutAtEleven, "79123456701"}}},
      {"too short to be sent", "12345 " IVAN "\n7 a 1-2\n",
       {{1, I::CannotSend, "12345"}, {2, I::CannotSend, "7"}}},
      {"Russian number forms", "9123456701\n8 912 345-67-02\n88121234567\n",
       {{1, I::NumberChanged, "9123456701"}, {2, I::NumberChanged, "89123456702"}}},
      {"byte order marks", "\xEF\xBB\xBF" "79123456701\n\xEF\xBB\xBF" IVAN "\n",
       {{1, I::ByteOrderMark, "79123456701"}, {2, I::ByteOrderMark, nullptr},
        {2, I::NoNumber, nullptr}}},
      {"the last line without an ending", "79123456701\n" IVAN, {{2, I::NoNumber, nullptr}}},
      {"numbers as they are sent", "+7 (912) 345-67-01 " IVAN "\n71234567890 (" IVAN ")\n", {}},
  };
  for (const ReportCase& row : cases) {
    for (const std::string& file : {row.file, WithCrLf(row.file)}) {
      SCOPED_TRACE(std::string(row.what) + (file == row.file ? "" : ", CR LF"));
      m_engine.ClearList();
      CListReport report;
      m_engine.LoadListText(file, nullptr, &report);
      ASSERT_EQ(report.Notes().size(), row.notes.size());
      for (size_t i = 0; i < row.notes.size(); ++i) {
        const CListLineNote& note = report.Notes()[i];
        EXPECT_EQ(note.m_line, row.notes[i].line) << i;
        EXPECT_EQ(note.m_issue, row.notes[i].issue) << i;
        const char* number = row.notes[i].number;
        ASSERT_EQ(note.m_item == CListLineNote::kNoItem, number == nullptr) << i;
        if (number != nullptr) {
          EXPECT_EQ(m_engine.m_items[note.m_item].m_number, number) << i;
        }
        const bool dropped = note.m_issue == I::TextBeforeNumber || note.m_issue == I::NoNumber;
        EXPECT_EQ(note.m_text.empty(), !dropped) << "a dropped line keeps its text";
      }
    }
  }
}

TEST_F(PhoneListTest, TheReportCountsEveryLineAndNotesTheFirstOfEachIssue) {
  std::string file;
  for (int i = 0; i < 25; ++i) file += "12345\n" IVAN "\n";
  CListReport report;
  m_engine.LoadListText(file, nullptr, &report);
  EXPECT_EQ(report.Count(ListLineIssue::CannotSend), 25u);
  EXPECT_EQ(report.Count(ListLineIssue::NoNumber), 25u);
  ASSERT_EQ(report.Notes().size(), 2 * kNotedLinesPerIssue);
  EXPECT_EQ(report.Notes().back().m_line, 20);
  // A mask and a typed number are numbers without lines.
  CListReport more;
  m_engine.GenerateFromMask("891234567**", &more);
  m_engine.AddItem({"123", Accepted, "text"}, &more);
  m_engine.AddItem({"79123456701", Accepted, "text"}, &more);
  EXPECT_EQ(more.Count(ListLineIssue::NumberChanged), 100u);
  EXPECT_EQ(more.Count(ListLineIssue::CannotSend), 1u);
  EXPECT_EQ(more.Notes().back().m_line, 0);
  EXPECT_EQ(m_engine.m_items[more.Notes().back().m_item].m_number, "123");
}

struct NumberFormCase {
  const char* number;
  const char* sent;
  NumberChange change;
  NumberFault fault;
};

TEST(NumberFormTest, RussianFormsGoOutInternationalAndOthersAsTheyAre) {
  using C = NumberChange;
  using F = NumberFault;
  const NumberFormCase cases[] = {
      {"89123456789", "79123456789", C::DomesticEight, F::None},
      {"8 (912) 345-67-89", "79123456789", C::DomesticEight, F::None},
      {"+89123456789", "+79123456789", C::DomesticEight, F::None},
      {"9123456789", "79123456789", C::TenDigits, F::None},
      {"+9123456789", "+79123456789", C::TenDigits, F::None},
      {"79123456789", "79123456789", C::None, F::None},
      {"+7 912 345-67-89", "+79123456789", C::None, F::None},
      {"88121234567", "88121234567", C::None, F::None},  // 88...: a country code
      {"44207946095", "44207946095", C::None, F::None},
      {"8912345678", "78912345678", C::TenDigits, F::None},
      {"891234567890", "891234567890", C::None, F::TooLong},
      {"123456789", "123456789", C::None, F::TooShort},
      {"7XXXXXX0000", "70000", C::None, F::TooShort},
      {"", "", C::None, F::TooShort},
      {"+", "+", C::None, F::TooShort},
      {"8+9123456789", "8+9123456789", C::None, F::PlusInside},
  };
  for (const NumberFormCase& row : cases) {
    SCOPED_TRACE(row.number);
    const CNumberForm form = NumberForm(row.number);
    EXPECT_EQ(form.m_number, row.sent);
    EXPECT_EQ(form.m_change, row.change);
    EXPECT_EQ(form.m_fault, row.fault);
  }
}

// varnek-send names the line of a list file as an editor shows it.
TEST_F(PhoneListTest, ItemsKnowTheLineTheyCameFrom) {
  struct Case {
    const char* what;
    std::string file;
    std::vector<int> lines;
  };
  const Case cases[] = {
      {"LF, empty and text-only lines", "1\n\n a\n2\n", {1, 4}},
      {"CR LF", "1\r\n\r\n a\r\n2\r\n", {1, 4}},
      {"lone CR", "1\r\r2", {1, 3}},
      {"mixed endings, last line without one", "1\r\n2\r3\n4", {1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    m_engine.ClearList();
    std::vector<int> lines;
    m_engine.LoadListText(c.file, &lines);
    EXPECT_EQ(c.lines, lines) << c.what;
    EXPECT_EQ(lines.size(), m_engine.m_items.size()) << c.what;
  }
}

TEST_F(PhoneListTest, ALoneCarriageReturnEndsALine) {
  EXPECT_EQ(Load("1 a\r2\r\r3"), (std::vector<Entry>{{"1", "a"}, {"2", ""}, {"3", ""}}));
}

TEST_F(PhoneListTest, TextKeepsItsFirst1023Characters) {
  const std::string exact(1023, 'a');
  const std::string longer = std::string(1023, 'b') + "cdefgh";
  EXPECT_EQ(Load("1 " + exact + "\n2 " + longer + "\n3 x"),
            (std::vector<Entry>{{"1", exact}, {"2", std::string(1023, 'b')}, {"3", "x"}}));
}

TEST_F(PhoneListTest, LinesAcrossReadBlocksComeOutWhole) {
  std::string file;
  std::vector<Entry> expected;
  for (int i = 0; i < 20000; ++i) {  // about 400 KiB: several blocks
    const std::string number = "79" + std::to_string(100000000 + i);
    const std::string text = "name " + std::to_string(i);
    file += "+" + number.substr(0, 1) + " (" + number.substr(1, 3) + ") " + number.substr(4) + " " +
            text + "\r\n";
    expected.push_back({number, text});
  }
  EXPECT_TRUE(Load(file) == expected);
}

TEST_F(PhoneListTest, LoadingAppendsAndAMissingFileAddsNothing) {
  m_engine.AddItem({"1", Sent, "kept"});
  const std::string path = m_dir.File("list.txt");
  std::ofstream(path, std::ios::binary) << "2\n";
  m_engine.LoadListFile(path.c_str());
  m_engine.LoadListFile(m_dir.File("missing.txt").c_str());
  m_engine.LoadListFile(m_dir.Path().c_str());  // a folder
  ASSERT_EQ(m_engine.m_items.size(), 2u);
  EXPECT_EQ(m_engine.m_items[0].m_state, Sent);
  EXPECT_EQ(m_engine.m_items[1].m_number, "2");
}

struct MaskCase {
  std::string mask;
  size_t count;
  std::string first, last;
};

TEST_F(PhoneListTest, MasksGiveTheirNumbersInAscendingOrder) {
  const MaskCase cases[] = {
      {"", 0, "", ""},
      {"71234567890", 0, "", ""},
      {"7*", 10, "70", "79"},
      {"712345678**", 100, "71234567800", "71234567899"},
      {"***", 1000, "000", "999"},
      {"****", 10000, "0000", "9999"},
      {"7XXXXXX****", 10000, "7XXXXXX0000", "7XXXXXX9999"},
      {"*1*2*", 1000, "01020", "91929"},
      {"*****", 0, "", ""},
      {"7*" + std::string(97, '1'), 10, "70" + std::string(97, '1'), "79" + std::string(97, '1')},
      {"7*" + std::string(98, '1'), 0, "", ""},  // 100 characters: too long
  };
  for (const MaskCase& row : cases) {
    SCOPED_TRACE(row.mask);
    m_engine.ClearList();
    m_engine.GenerateFromMask(row.mask.c_str());
    const std::vector<Entry> entries = Entries(m_engine);
    ASSERT_EQ(entries.size(), row.count);
    if (row.count == 0) continue;
    EXPECT_EQ(entries.front(), (Entry{row.first, ""}));
    EXPECT_EQ(entries.back(), (Entry{row.last, ""}));
  }
}

TEST_F(PhoneListTest, EveryNumberOfAMaskInPlace) {
  m_engine.AddItem({"first", Accepted, ""});
  m_engine.GenerateFromMask("*1*2*");
  ASSERT_EQ(m_engine.m_items.size(), 1001u);
  EXPECT_EQ(m_engine.m_items[0].m_number, "first");
  for (int v = 0; v < 1000; ++v) {
    const std::string d = std::to_string(1000 + v).substr(1);  // three digits
    const std::string expected = d.substr(0, 1) + "1" + d.substr(1, 1) + "2" + d.substr(2, 1);
    ASSERT_EQ(m_engine.m_items[1 + v].m_number, expected) << v;
  }
}

TEST(DeliveryStateTextTest, TextsInCodePage1251) {
  EXPECT_STREQ(DeliveryStateText(Accepted), "\xCF\xF0\xE8\xED\xFF\xF2");  // Принят
  EXPECT_STREQ(DeliveryStateText(Duplicate),
               "\xC4\xF3\xE1\xEB\xE8\xF0\xEE\xE2\xE0\xED\xE8\xE5 \xED\xEE\xEC\xE5\xF0\xE0");
  EXPECT_STREQ(DeliveryStateText(static_cast<DeliveryState>(kDeliveryStateCount)), "");
  EXPECT_STREQ(DeliveryStateText(static_cast<DeliveryState>(-1)), "");
}

}  // namespace
