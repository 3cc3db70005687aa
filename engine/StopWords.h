#pragma once
// Whether a reply asks not to be written to again. Pure; any thread.
#include <string>

// The words a person writes to opt out, comma-separated, code page 1251.
extern const char kDefaultStopWords[];

// True when text (1251), without the blanks and line breaks around it and
// with the case of Latin and Cyrillic letters (and Ё) folded, is one of the
// comma-separated words.
bool IsStopReply(const std::string& text, const std::string& words);
