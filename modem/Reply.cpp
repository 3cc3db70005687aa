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

std::string Trimmed(const char* text, int length) {
  int begin = 0;
  while (begin < length && text[begin] == ' ') ++begin;
  while (length > begin && text[length - 1] == ' ') --length;
  return std::string(text + begin, static_cast<size_t>(length - begin));
}

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

FinalResult ReadFinalLine(const std::string& line) {
  const int length = static_cast<int>(line.size());
  FinalResult result;
  for (const FinalName& name : kFinals) {
    const int size = static_cast<int>(std::strlen(name.text));
    if (length < size || line.compare(0, static_cast<size_t>(size), name.text) != 0) continue;
    if (name.prefix) {
      result.kind = name.kind;
      result.detail = Trimmed(line.c_str() + size, length - size);
    } else if (Trimmed(line.c_str() + size, length - size).empty()) {
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
