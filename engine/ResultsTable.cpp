#include "engine/ResultsTable.h"

#include <cstdlib>

namespace {

constexpr char kHeader[] =
    "Номер;Комментарий;Итог;Ссылки;Отчёты;Модем;Отправлено;Доставлено;Причина";
constexpr size_t kFields = 9;
constexpr char kNoReportMark[] = "-";

std::string Quoted(const std::string& field) {
  if (field.find_first_of(";\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (char c : field) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

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

// The fields of the line that begins at at; at moves past its line end. A
// quoted field may hold line breaks.
std::vector<std::string> ReadLine(const std::string& text, size_t& at) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (quoted) {
      if (c != '"') {
        fields.back() += c;
      } else if (at + 1 < text.size() && text[at + 1] == '"') {
        fields.back() += '"';
        ++at;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ';') {
      fields.emplace_back();
    } else if (c == '\n') {
      ++at;
      break;
    } else if (c != '\r') {
      fields.back() += c;
    }
  }
  return fields;
}

}  // namespace

std::string FormatResults(const std::vector<CResultRow>& rows) {
  std::string text = std::string(kHeader) + "\r\n";
  for (const CResultRow& row : rows) {
    const std::vector<std::string> fields = {
        row.number, row.comment, row.outcome, Numbers(row.record.references),
        Numbers(row.record.reports), row.modem, row.record.sentAt, row.record.deliveredAt,
        row.cause};
    for (size_t i = 0; i < fields.size(); ++i) text += (i ? ";" : "") + Quoted(fields[i]);
    text += "\r\n";
  }
  return text;
}

bool ParseResults(const std::string& text, std::vector<CResultRow>& rows) {
  rows.clear();
  size_t at = 0;
  if (text.compare(0, sizeof kHeader - 1, kHeader) != 0) return false;
  ReadLine(text, at);
  while (at < text.size()) {
    std::vector<std::string> fields = ReadLine(text, at);
    if (fields.size() == 1 && fields[0].empty()) continue;
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
