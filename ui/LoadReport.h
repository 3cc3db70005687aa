#pragma once
// What the window tells the operator after numbers were added to the list
// (a file, a mask, a typed number): the lines the loader dropped, the
// numbers it cut or will send in another form, the numbers no message can
// reach. Pure text, built here; the frame shows it in one message box.
#include <string>
#include <vector>

#include "engine/ListItem.h"
#include "engine/ListReport.h"

// "" when every line was taken as it stood. Otherwise a heading with the
// count of numbers now in the list, then, kind by kind, how many lines and
// the first few with their line numbers (1251). items: the engine's list,
// which the report's notes index.
std::string LoadReportText(const CListReport& report, const std::vector<CListItem>& items);
