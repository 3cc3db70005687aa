#include "modem/Reply.h"

#include <cstring>

namespace reply {
namespace {

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


bool IsFailure(const FinalResult& result) {
  return result.kind != Final::None && result.kind != Final::Ok;
}

}  // namespace reply
