#pragma once
// Lines of fields as a spreadsheet on a Russian Windows opens them: fields
// separated by ";", quoted where they hold ";", a quote or a line break,
// lines ended by CR LF; the bytes are code page 1251. Pure; any thread.
#include <string>
#include <vector>

// One line, with its CR LF.
std::string CsvLine(const std::vector<std::string>& fields);
// The lines after the header line; false when the text does not begin with
// header. Empty lines are skipped; a quoted field may hold line breaks.
bool ReadCsv(const std::string& text, const std::string& header,
             std::vector<std::vector<std::string>>& lines);
