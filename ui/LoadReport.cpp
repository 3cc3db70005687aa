#include "ui/LoadReport.h"

#include "engine/NumberForm.h"

namespace {

// Lines of one kind shown in the message; the rest are counted only, so
// that the box stays within the screen.
constexpr size_t kShownLines = 3;

struct IssueWords {
  ListLineIssue issue;
  const char* heading;  // followed by the count
};

// In the order of the message: lines lost first, then numbers changed.
constexpr IssueWords kIssues[] = {
    {ListLineIssue::TextBeforeNumber, "Пропущены строки с текстом перед номером: "},
    {ListLineIssue::NoNumber, "Пропущены строки без номера: "},
    {ListLineIssue::ByteOrderMark, "Метка порядка байтов в начале строки пропущена (склеены два файла?): "},
    {ListLineIssue::LetterInNumber, "Номер оборван буквой: "},
    {ListLineIssue::CutAtEleven, "Больше 11 цифр, номер обрезан: "},
    {ListLineIssue::CannotSend, "Нельзя отправить, ошибка еще до отправки: "},
    {ListLineIssue::NumberChanged, "Уйдут на номер 7...: "},
};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string FaultWords(const CNumberForm& form) {
  if (form.m_fault == NumberFault::PlusInside) return "\"+\" внутри номера";
  return "цифр " + std::to_string(form.m_digits) + ", а нужно 10 или 11";
}

std::string ChangeWords(NumberChange change) {
  return change == NumberChange::DomesticEight ? "внутренняя 8 заменена кодом страны 7"
                                               : "десять цифр: впереди добавлен код страны 7";
}

// One noted line: where it is, and what became of it.
std::string NoteLine(const CListLineNote& note, const std::vector<CListItem>& items) {
  std::string text = "    ";
  if (note.m_line > 0) text += "строка " + std::to_string(note.m_line) + ": ";
  if (note.m_item >= items.size()) return text + Quoted(note.m_text);
  const CListItem& item = items[note.m_item];
  const CNumberForm form = NumberForm(item.m_number.c_str());
  switch (note.m_issue) {
    case ListLineIssue::ByteOrderMark:
      return text + "номер " + item.m_number;
    case ListLineIssue::LetterInNumber:
    case ListLineIssue::CutAtEleven:
      return text + "номер " + item.m_number + ", " + Quoted(item.m_text) + " уходит в текст";
    case ListLineIssue::CannotSend:
      return text + "номер " + item.m_number + ": " + FaultWords(form);
    default:
      return text + item.m_number + " отправится на " + form.m_number + " (" + ChangeWords(form.m_change) + ")";
  }
}

}  // namespace

std::string LoadReportText(const CListReport& report, const std::vector<CListItem>& items) {
  std::string text;
  for (const IssueWords& kind : kIssues) {
    const size_t count = report.Count(kind.issue);
    if (count == 0) continue;
    text += std::string("\n") + kind.heading + std::to_string(count) + "\n";
    size_t shown = 0;
    for (const CListLineNote& note : report.Notes()) {
      if (note.m_issue != kind.issue || shown == kShownLines) continue;
      text += NoteLine(note, items) + "\n";
      ++shown;
    }
    if (count > shown) text += "    и еще " + std::to_string(count - shown) + "\n";
  }
  if (text.empty()) return text;
  return "Загружено номеров: " + std::to_string(items.size()) + ". Не все строки взяты как есть:\n" + text;
}
