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

// Splits the bytes of a list file into items, one line at a time. Fed in
// blocks, it gives what a byte-by-byte reading gives. lines, when given,
// gets the line of each item as an editor counts them.
class CListFileParser {
 public:
  CListFileParser(std::vector<CListItem>& items, std::vector<int>* lines = nullptr)
      : m_items(items), m_lines(lines) {}

  void Feed(char c) {
    if (c == '\0') return;  // a zero byte adds to neither the number nor the text
    if (c == '\r' || c == '\n') {
      EndLine();
      // CR LF ends one line for an editor, two for the parser.
      if (c == '\r' || m_previous != '\r') ++m_line;
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

  // A last line without a line ending counts like any other.
  void Finish() { EndLine(); }

 private:
  void AppendText(char c) {
    if (m_item.m_text.size() < kMaxTextLength) m_item.m_text += c;
  }

  void EndLine() {
    if (!m_item.m_number.empty()) {
      m_items.push_back(m_item);
      if (m_lines != nullptr) m_lines->push_back(m_line);
    }
    m_item.m_number.clear();
    m_item.m_text.clear();
  }

  std::vector<CListItem>& m_items;
  std::vector<int>* m_lines;
  CListItem m_item;
  int m_line = 1;
  char m_previous = '\0';
};

}  // namespace

void CEngine::ClearList() { m_items.clear(); }

void CEngine::AddItem(const CListItem& item) { m_items.push_back(item); }

void CEngine::LoadListFile(const char* path) {
  // A file that cannot be opened adds nothing, silently.
  platform::ReadFile file;
  if (path == nullptr || !file.Open(path)) return;
  CListFileParser parser(m_items);
  std::vector<char> block(kReadBlockSize);
  while (const size_t got = file.Read(block.data(), block.size())) {
    for (size_t i = 0; i < got; ++i) parser.Feed(block[i]);
  }
  parser.Finish();
}

void CEngine::LoadListText(const std::string& text, std::vector<int>* lines) {
  CListFileParser parser(m_items, lines);
  for (char c : text) parser.Feed(c);
  parser.Finish();
}

void CEngine::GenerateFromMask(const char* mask) {
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
  }
}

bool CEngine::CheckMarkerFolder(std::string& reason) const {
  if (m_checkDuplicates == 0) return true;
  std::string why;
  if (Markers().CheckWritable(why)) return true;
  reason = platform::Utf8ToCp1251(why);
  return false;
}
