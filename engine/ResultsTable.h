#pragma once
// The results file of a run as text: one line per number, the fields
// separated by ";" and quoted where they hold ";", a quote or a line break,
// code page 1251 with CR LF, so that a spreadsheet on a Russian Windows opens
// it as it is. Pure; any thread.
#include <string>
#include <vector>

#include "engine/SendRecord.h"

struct CResultRow {
  std::string number;   // as on the list
  std::string comment;  // the list's text of the number
  std::string outcome;  // the state's word, or the reports' (ReportOutcomeText)
  std::string modem;    // "COM3"; empty when no modem took the number
  std::string cause;    // why it ended so, when there is more to say
  CSendRecord record;   // references, reports and times; empty when not sent
};

// The header line and one line per row.
std::string FormatResults(const std::vector<CResultRow>& rows);
// The rows of a results file; false when the text is not one (the header is
// missing). Fields it does not know are kept as they are.
bool ParseResults(const std::string& text, std::vector<CResultRow>& rows);
