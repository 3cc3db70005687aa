#pragma once
// One value of the settings file as the engine reads it. The setup dialog
// writes decimal integers; a person who edits the file also writes words
// ("yes", "да") and values out of range. A value the reader does not take as
// it stands is replaced by one it can use, and a note says which and why, for
// the caller to show.
#include <cstdint>
#include <string>

// Limits of the settings, in the file and on varnek-send's command line
// alike: the longest pause after a message, s, and the fastest serial speed,
// bit/s (0 keeps the port's speed).
constexpr int32_t kMaxPauseSeconds = 24 * 60 * 60;
constexpr int32_t kMaxBaudRate = 4000000;

enum class SettingKind {
  Speed,  // 0 .. kMaxBaudRate; otherwise 0
  Port,   // from 0 (no port); a negative one is 0
  Flag,   // 0 off, any other integer on; yes/no, true/false, да/нет in any
          // case; anything else on, which keeps the duplicate check on
  Pause,  // 0 .. kMaxPauseSeconds, held to the nearer limit
};

enum class SettingProblem {
  None,
  Empty,       // no text at all
  NotANumber,  // neither a number nor, for a flag, a word for yes or no
  Negative,
  TooLarge,    // beyond the limit of its kind, or beyond 32 bits
};

struct CSettingValue {
  int32_t m_value = 0;
  SettingProblem m_problem = SettingProblem::None;
};

// text: the element's text in code page 1251; blanks around it do not count.
// A number with something after it ("12abc") is taken by its leading integer,
// then held to the limits.
CSettingValue ReadSettingValue(SettingKind kind, const std::string& text);

// A value of the file that was not taken as it stands.
struct CSettingNote {
  std::string m_key;   // the element: "CHECK"
  SettingKind m_kind = SettingKind::Port;
  std::string m_text;  // its text as found, 1251
  SettingProblem m_problem = SettingProblem::None;
  int32_t m_value = 0;  // the value taken instead
};
