#include "engine/CsvText.h"

namespace {

std::string Quoted(const std::string& field) {
  if (field.find_first_of(";\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (char c : field) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

// The fields of the line that begins at at; at moves past its line end.
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

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) line += (i ? ";" : "") + Quoted(fields[i]);
  return line + "\r\n";
}

bool ReadCsv(const std::string& text, const std::string& header,
             std::vector<std::vector<std::string>>& lines) {
  lines.clear();
  if (text.compare(0, header.size(), header) != 0) return false;
  size_t at = 0;
  ReadLine(text, at);
  while (at < text.size()) {
    std::vector<std::string> fields = ReadLine(text, at);
    if (fields.size() == 1 && fields[0].empty()) continue;
    lines.push_back(std::move(fields));
  }
  return true;
}
