#include "modem/Reply.h"

#include <cstring>

namespace reply {
namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

struct FinalName {
  const char* text;
  bool prefix;  // followed by a detail, else the whole line
  Final kind;
};

constexpr FinalName kFinals[] = {
    {"OK", false, Final::Ok},
    {"ERROR", false, Final::Error},
    {"+CMS ERROR:", true, Final::CmsError},
    {"+CME ERROR:", true, Final::CmeError},
};

}  // namespace

int DropZeroBytes(char* data, int length) {
  int kept = 0;
  for (int i = 0; i < length; ++i) {
    if (data[i] != '\0') data[kept++] = data[i];
  }
  return kept;
}

bool Contains(const char* data, int length, const char* text) {
  const int size = static_cast<int>(std::strlen(text));
  for (int at = 0; at + size <= length; ++at) {
    if (std::memcmp(data + at, text, static_cast<size_t>(size)) == 0) return true;
  }
  return false;
}

bool HasLineWord(const char* data, int length, const char* word) {
  const int size = static_cast<int>(std::strlen(word));
  for (int at = 0; at + size < length; ++at) {
    if (at > 0 && !IsLineEnd(data[at - 1])) continue;
    const char next = data[at + size];
    if (std::memcmp(data + at, word, static_cast<size_t>(size)) == 0 &&
        (next == ' ' || IsLineEnd(next))) {
      return true;
    }
  }
  return false;
}

std::vector<std::string> CompleteLines(const char* data, int length) {
  std::vector<std::string> lines;
  int start = 0;
  for (int i = 0; i < length; ++i) {
    if (!IsLineEnd(data[i])) continue;
    if (i > start) lines.emplace_back(data + start, static_cast<size_t>(i - start));
    start = i + 1;
  }
  return lines;
}

std::string Trimmed(const std::string& text) {
  const size_t begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return std::string();
  return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

FinalResult ReadFinalLine(const std::string& line) {
  FinalResult result;
  for (const FinalName& name : kFinals) {
    const size_t size = std::strlen(name.text);
    if (line.compare(0, size, name.text) != 0) continue;
    const std::string rest = Trimmed(line.substr(size));
    if (name.prefix) {
      result.kind = name.kind;
      result.detail = rest;
    } else if (rest.empty()) {
      result.kind = name.kind;
    }
    if (result.kind != Final::None) break;
  }
  return result;
}

FinalResult ReadFinalResult(const char* data, int length) {
  FinalResult failure;
  for (const std::string& text : CompleteLines(data, length)) {
    FinalResult line = ReadFinalLine(text);
    if (line.kind == Final::Ok) return line;
    if (failure.kind == Final::None) failure = line;
  }
  return failure;
}

bool IsFailure(const FinalResult& result) {
  return result.kind != Final::None && result.kind != Final::Ok;
}

}  // namespace reply
