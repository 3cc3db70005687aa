#pragma once
// What the list loader did with the lines it could not take as they stand:
// lines dropped, numbers cut or changed, numbers no message can reach. The
// window shows it after a load and varnek-send in its plan: how many of each
// kind, and the first few lines of each.
#include <cstddef>
#include <string>
#include <vector>

#include "engine/NumberForm.h"

enum class ListLineIssue {
  // Dropped, no item: text first, with digits after it (a name, "tel:").
  TextBeforeNumber,
  // Dropped, no item: text without a digit.
  NoNumber,
  // A byte order mark at the start of the line was skipped (two files
  // joined); the line was read as without it.
  ByteOrderMark,
  // Taken: a letter or sign between digits ended the number; the rest of the
  // line, digits included, went to the text.
  LetterInNumber,
  // Taken: more than 11 digits; the number is the first 11, the rest went to
  // the text.
  CutAtEleven,
  // Taken, but no message can be addressed to the number (m_fault says why).
  CannotSend,
  // Taken; the message goes to the number in another form (m_change).
  NumberChanged,
};

constexpr int kListIssueCount = 7;

struct CListLineNote {
  // The line (from 1, as an editor counts); 0 for a number not from a file
  // (a mask, a typed number).
  int m_line = 0;
  ListLineIssue m_issue = ListLineIssue::NoNumber;
  // The item the line gave, an index of the engine's list; kNoItem for a
  // dropped line.
  size_t m_item = kNoItem;
  // A dropped line: what it held after the separators before its text (1251,
  // at most 1023 characters). Empty otherwise.
  std::string m_text = std::string();
  NumberChange m_change = NumberChange::None;
  NumberFault m_fault = NumberFault::None;

  static constexpr size_t kNoItem = static_cast<size_t>(-1);
};

// Lines of one issue kept with their notes; the rest are counted only.
constexpr size_t kNotedLinesPerIssue = 10;

class CListReport {
 public:
  void Add(const CListLineNote& note);
  // Every line of that issue, noted or not.
  size_t Count(ListLineIssue issue) const { return m_counts[static_cast<size_t>(issue)]; }
  // The first kNotedLinesPerIssue lines of each issue, in the order met.
  const std::vector<CListLineNote>& Notes() const { return m_notes; }

 private:
  std::vector<CListLineNote> m_notes;
  size_t m_counts[kListIssueCount] = {};
};
