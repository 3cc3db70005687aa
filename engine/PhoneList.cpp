#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "platform/CodePage.h"
#include "platform/Files.h"

namespace {

constexpr size_t kNumberDigits = 11;
// A line's text keeps its first 1023 characters; the rest of that line's text
// is dropped and the line still counts.
constexpr size_t kMaxTextLength = 1023;
// A generated number must fit 99 characters; a longer mask adds nothing, as a
// cut number would be some other, wrong number.
constexpr size_t kMaxMaskLength = 99;
constexpr int kMaxMaskStars = 4;
constexpr size_t kReadBlockSize = 64 * 1024;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsNumberSeparator(char c) { return IsBlank(c) || std::strchr("()-+", c) != nullptr; }

// The UTF-8 byte order mark as a 1251 file holds it: a file saved by an
// editor as UTF-8 starts with it, and two such files joined hold it again at
// the start of a line.
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr size_t kByteOrderMarkLength = sizeof kByteOrderMark - 1;

bool HasDigit(const std::string& text) { return text.find_first_of("0123456789") != std::string::npos; }

// The digits after the 11th, perhaps after separators, went to the text.
bool CutAtEleven(const CListItem& item) {
  if (item.m_number.size() != kNumberDigits) return false;
  const size_t next = item.m_text.find_first_not_of("()-+ \t");
  return next != std::string::npos && IsDigit(item.m_text[next]);
}

// A letter or sign between digits: the word that ended the number holds a
// digit ("7916123451x7", "12\xDF" "3").
bool LetterInNumber(const CListItem& item) {
  if (item.m_number.size() >= kNumberDigits) return false;
  return HasDigit(item.m_text.substr(0, item.m_text.find_first_of(" \t")));
}

// What there is to say of a number taken into the list at index; a line of
// a file also of the way the parser split it.
void NoteTakenNumber(CListReport& report, int line, const CListItem& item, size_t index,
                     bool fromFile) {
  CListLineNote note;
  note.m_line = line;
  note.m_item = index;
  const CNumberForm form = NumberForm(item.m_number.c_str());
  note.m_change = form.m_change;
  note.m_fault = form.m_fault;
  if (fromFile && LetterInNumber(item)) {
    note.m_issue = ListLineIssue::LetterInNumber;
  } else if (fromFile && CutAtEleven(item)) {
    note.m_issue = ListLineIssue::CutAtEleven;
  } else if (form.m_fault != NumberFault::None) {
    note.m_issue = ListLineIssue::CannotSend;
  } else if (form.m_change != NumberChange::None) {
    note.m_issue = ListLineIssue::NumberChanged;
  } else {
    return;
  }
  report.Add(note);
}

// Splits the bytes of a list file into items, one line at a time. Fed in
// blocks, it gives what a byte-by-byte reading gives. lines, when given,
// gets the line of each item as an editor counts them; report, when given,
// what became of the lines not taken as they stand.
class CListFileParser {
 public:
  CListFileParser(std::vector<CListItem>& items, std::vector<int>* lines, CListReport* report)
      : m_items(items), m_lines(lines), m_report(report) {}

  void Feed(char c) {
    if (c == '\0') return;  // a zero byte adds to neither the number nor the text
    if (m_lineFresh) {
      if (c == kByteOrderMark[m_markBytes]) {
        if (++m_markBytes == kByteOrderMarkLength) {
          m_markBytes = 0;
          m_markSkipped = true;
        }
        return;
      }
      ReplayMarkBytes();
    }
    Take(c);
  }

  // A last line without a line ending counts like any other.
  void Finish() {
    ReplayMarkBytes();
    EndLine();
  }

 private:
  // The first bytes of a mark that did not come whole belong to the line.
  void ReplayMarkBytes() {
    const size_t held = m_markBytes;
    m_markBytes = 0;
    m_lineFresh = false;
    for (size_t i = 0; i < held; ++i) Take(kByteOrderMark[i]);
  }

  void Take(char c) {
    m_lineFresh = false;
    if (c == '\r' || c == '\n') {
      EndLine();
      // CR LF ends one line for an editor, two for the parser.
      if (c == '\r' || m_previous != '\r') ++m_line;
      m_lineFresh = true;
    } else if (!m_item.m_text.empty()) {
      AppendText(c);
    } else if (m_item.m_number.size() >= kNumberDigits) {
      if (!IsBlank(c)) AppendText(c);
    } else if (IsDigit(c)) {
      m_item.m_number += c;
    } else if (!IsNumberSeparator(c)) {
      AppendText(c);
    }
    m_previous = c;
  }

  void AppendText(char c) {
    if (m_item.m_text.size() < kMaxTextLength) m_item.m_text += c;
  }

  void EndLine() {
    size_t index = CListLineNote::kNoItem;
    if (!m_item.m_number.empty()) {
      index = m_items.size();
      m_items.push_back(m_item);
      if (m_lines != nullptr) m_lines->push_back(m_line);
    }
    if (m_report != nullptr) ReportLine(index);
    m_item.m_number.clear();
    m_item.m_text.clear();
    m_markSkipped = false;
  }

  void ReportLine(size_t index) {
    if (m_markSkipped) {
      CListLineNote mark;
      mark.m_line = m_line;
      mark.m_issue = ListLineIssue::ByteOrderMark;
      mark.m_item = index;
      m_report->Add(mark);
    }
    if (index != CListLineNote::kNoItem) {
      NoteTakenNumber(*m_report, m_line, m_item, index, true);
    } else if (!m_item.m_text.empty()) {
      CListLineNote dropped;
      dropped.m_line = m_line;
      dropped.m_issue = HasDigit(m_item.m_text) ? ListLineIssue::TextBeforeNumber : ListLineIssue::NoNumber;
      dropped.m_text = m_item.m_text;
      m_report->Add(dropped);
    }
  }

  std::vector<CListItem>& m_items;
  std::vector<int>* m_lines;
  CListReport* m_report;
  CListItem m_item;
  int m_line = 1;
  char m_previous = '\0';
  bool m_lineFresh = true;  // nothing but zero bytes and marks read on this line yet
  size_t m_markBytes = 0;   // of a byte order mark, read but not yet taken
  bool m_markSkipped = false;
};

}  // namespace

void CEngine::ClearList() { m_items.clear(); }

void CListReport::Add(const CListLineNote& note) {
  size_t& count = m_counts[static_cast<size_t>(note.m_issue)];
  if (++count <= kNotedLinesPerIssue) m_notes.push_back(note);
}

void CEngine::AddItem(const CListItem& item, CListReport* report) {
  m_items.push_back(item);
  if (report != nullptr) NoteTakenNumber(*report, 0, item, m_items.size() - 1, false);
}

void CEngine::LoadListFile(const char* path, CListReport* report) {
  // A file that cannot be opened adds nothing, silently.
  platform::ReadFile file;
  if (path == nullptr || !file.Open(path)) return;
  CListFileParser parser(m_items, nullptr, report);
  std::vector<char> block(kReadBlockSize);
  while (const size_t got = file.Read(block.data(), block.size())) {
    for (size_t i = 0; i < got; ++i) parser.Feed(block[i]);
  }
  parser.Finish();
}

void CEngine::LoadListText(const std::string& text, std::vector<int>* lines, CListReport* report) {
  CListFileParser parser(m_items, lines, report);
  for (char c : text) parser.Feed(c);
  parser.Finish();
}

void CEngine::GenerateFromMask(const char* mask, CListReport* report) {
  if (mask == nullptr || std::strlen(mask) > kMaxMaskLength) return;
  const std::string pattern = mask;
  int stars = 0;
  for (char c : pattern) stars += c == '*';
  if (stars == 0 || stars > kMaxMaskStars) return;
  int count = 1;
  for (int i = 0; i < stars; ++i) count *= 10;
  m_items.reserve(m_items.size() + count);
  CListItem item;
  for (int value = 0; value < count; ++value) {
    char digits[kMaxMaskStars + 1];
    std::snprintf(digits, sizeof digits, "%0*d", stars, value);
    item.m_number = pattern;
    const char* next = digits;
    for (char& c : item.m_number) {
      if (c == '*') c = *next++;
    }
    m_items.push_back(item);
    if (report != nullptr) NoteTakenNumber(*report, 0, item, m_items.size() - 1, false);
  }
}

bool CEngine::CheckMarkerFolder(std::string& reason) const {
  if (m_checkDuplicates == 0) return true;
  std::string why;
  if (Markers().CheckWritable(why)) return true;
  reason = platform::Utf8ToCp1251(why);
  return false;
}
