#include "engine/ResultsTable.h"

#include <cstdlib>

#include "engine/CsvText.h"

namespace {

constexpr char kHeader[] =
    "Номер;Комментарий;Итог;Ссылки;Отчёты;Модем;Отправлено;Доставлено;Причина";
constexpr size_t kFields = 9;
constexpr char kNoReportMark[] = "-";

std::string Numbers(const std::vector<int>& values) {
  std::string text;
  for (int value : values) {
    if (!text.empty()) text += ' ';
    text += value < 0 ? kNoReportMark : std::to_string(value);
  }
  return text;
}

std::vector<int> ReadNumbers(const std::string& text) {
  std::vector<int> values;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = text.find(' ', at);
    const std::string word = text.substr(at, end - at);
    if (!word.empty()) values.push_back(word == kNoReportMark ? -1 : std::atoi(word.c_str()));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return values;
}

}  // namespace

std::string FormatResults(const std::vector<CResultRow>& rows) {
  std::string text = std::string(kHeader) + "\r\n";
  for (const CResultRow& row : rows) {
    text += CsvLine({row.number, row.comment, row.outcome, Numbers(row.record.references),
                     Numbers(row.record.reports), row.modem, row.record.sentAt,
                     row.record.deliveredAt, row.cause});
  }
  return text;
}

bool ParseResults(const std::string& text, std::vector<CResultRow>& rows) {
  rows.clear();
  std::vector<std::vector<std::string>> lines;
  if (!ReadCsv(text, kHeader, lines)) return false;
  for (std::vector<std::string>& fields : lines) {
    fields.resize(kFields);
    CResultRow row;
    row.number = fields[0];
    row.comment = fields[1];
    row.outcome = fields[2];
    row.record.references = ReadNumbers(fields[3]);
    row.record.reports = ReadNumbers(fields[4]);
    row.record.reports.resize(row.record.references.size(), -1);
    row.modem = fields[5];
    row.record.sentAt = fields[6];
    row.record.deliveredAt = fields[7];
    row.cause = fields[8];
    rows.push_back(row);
  }
  return true;
}
