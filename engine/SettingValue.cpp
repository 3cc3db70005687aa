#include "engine/SettingValue.h"

#include <cctype>
#include <climits>

namespace {

constexpr char kBlanks[] = " \t\r\n\v\f";

// The words a person writes for yes and no, lower case; the Russian ones in
// code page 1251 as the file's text arrives.
struct FlagWord {
  const char* word;
  int32_t value;
};

constexpr FlagWord kFlagWords[] = {
    {"yes", 1}, {"no", 0}, {"true", 1}, {"false", 0}, {"да", 1}, {"нет", 0},
};

// ASCII and the Cyrillic capitals of 1251 (0xC0..0xDF) in lower case.
std::string Lower(std::string text) {
  for (char& c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0xC0 && byte <= 0xDF) {
      c = static_cast<char>(byte + 0x20);
    } else if (byte < 0x80) {
      c = static_cast<char>(std::tolower(byte));
    }
  }
  return text;
}

struct Integer {
  int64_t value = 0;
  bool whole = false;     // nothing but the number in the text
  bool beyond32 = false;  // more than 32 bits hold
};

// The leading decimal integer: an optional sign, digits up to the first
// other character; no digits give 0. Stops counting once beyond 32 bits.
Integer LeadingInteger(const std::string& text) {
  Integer result;
  size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  const size_t digitsFrom = i;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (result.value <= int64_t{INT32_MAX} + 1) result.value = result.value * 10 + (text[i] - '0');
  }
  if (negative) result.value = -result.value;
  result.beyond32 = result.value > INT32_MAX || result.value < INT32_MIN;
  result.whole = i > digitsFrom && i == text.size();
  return result;
}

struct KindRule {
  SettingKind kind;
  int64_t low, high;  // the values taken as they stand
  int32_t belowLow;   // taken for a value below low
  int32_t aboveHigh;  // above high, or beyond 32 bits
  int32_t notUnderstood;
};

constexpr KindRule kKindRules[] = {
    {SettingKind::Speed, 0, kMaxBaudRate, 0, 0, 0},
    {SettingKind::Port, 0, INT32_MAX, 0, 0, 0},
    {SettingKind::Flag, INT32_MIN, INT32_MAX, 1, 1, 1},
    {SettingKind::Pause, 0, kMaxPauseSeconds, 0, kMaxPauseSeconds, 0},
};

const KindRule& RuleOf(SettingKind kind) {
  for (const KindRule& rule : kKindRules) {
    if (rule.kind == kind) return rule;
  }
  return kKindRules[0];
}

// A number's value held to the rule, with the problem when it had to be.
CSettingValue HoldToRule(const KindRule& rule, const Integer& number) {
  if (number.beyond32 || number.value > rule.high) {
    return {number.value < 0 ? rule.belowLow : rule.aboveHigh,
            number.value < 0 ? SettingProblem::Negative : SettingProblem::TooLarge};
  }
  if (number.value < rule.low) return {rule.belowLow, SettingProblem::Negative};
  return {static_cast<int32_t>(number.value), SettingProblem::None};
}

}  // namespace

CSettingValue ReadSettingValue(SettingKind kind, const std::string& text) {
  const KindRule& rule = RuleOf(kind);
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return {rule.notUnderstood, SettingProblem::Empty};
  const std::string value = text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
  if (kind == SettingKind::Flag) {
    for (const FlagWord& word : kFlagWords) {
      if (Lower(value) == word.word) return {word.value, SettingProblem::None};
    }
  }
  const Integer number = LeadingInteger(value);
  if (number.whole) return HoldToRule(rule, number);
  if (kind == SettingKind::Flag) return {rule.notUnderstood, SettingProblem::NotANumber};
  // The leading integer, as the file has always been read, within the limits.
  return {HoldToRule(rule, number).m_value, SettingProblem::NotANumber};
}
