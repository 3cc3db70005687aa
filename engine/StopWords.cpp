#include "engine/StopWords.h"

#include <cstring>

const char kDefaultStopWords[] = "СТОП,STOP,ОТПИСАТЬСЯ,ОТПИСКА,UNSUBSCRIBE";

namespace {

constexpr unsigned char kYoUpper = 0xA8;  // Ё
constexpr unsigned char kYoLower = 0xB8;  // ё
constexpr unsigned char kYeLower = 0xE5;  // е: ё is written е often enough to fold

char FoldCase(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 'A' && u <= 'Z') return static_cast<char>(u + ('a' - 'A'));
  if (u >= 0xC0 && u <= 0xDF) return static_cast<char>(u + 0x20);  // А..Я
  if (u == kYoUpper || u == kYoLower) return static_cast<char>(kYeLower);
  return c;
}

std::string Folded(const std::string& text) {
  const char* blanks = " \t\r\n";
  const size_t begin = text.find_first_not_of(blanks);
  if (begin == std::string::npos) return std::string();
  std::string folded = text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
  for (char& c : folded) c = FoldCase(c);
  return folded;
}

}  // namespace

bool IsStopReply(const std::string& text, const std::string& words) {
  const std::string reply = Folded(text);
  if (reply.empty()) return false;
  size_t start = 0;
  for (;;) {
    const size_t comma = words.find(',', start);
    if (Folded(words.substr(start, comma - start)) == reply) return true;
    if (comma == std::string::npos) return false;
    start = comma + 1;
  }
}
