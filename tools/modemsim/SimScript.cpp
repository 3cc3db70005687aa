#include "tools/modemsim/SimScript.h"

#include <cctype>

namespace modemsim {

namespace {

struct FinalName {
  const char* name;
  FinalKind kind;
};

constexpr FinalName kFinalNames[] = {
    {"error", FinalKind::Error},
    {"ref0", FinalKind::RefZero},
    {"silent", FinalKind::Silent},
};

// The two refusals of a submission, by the word that scripts them.
struct RefusalName {
  const char* prefix;
  const char* line;
};

constexpr RefusalName kRefusalNames[] = {
    {"cms:", "+CMS ERROR: "},
    {"cme:", "+CME ERROR: "},
};

struct CommandActionName {
  const char* suffix;
  CommandAction action;
};

constexpr CommandActionName kCommandActions[] = {
    {":silent", CommandAction::Silent},
    {":error", CommandAction::Error},
};

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Applies one fault word (the part after "K:") to a submission's fault.
bool ApplySubmitWord(const std::string& word, SubmitFault& fault) {
  for (const FinalName& f : kFinalNames) {
    if (word == f.name) {
      fault.final = f.kind;
      return true;
    }
  }
  if (word == "noprompt") return fault.noPrompt = true;
  if (word == "drop") return fault.drop = true;
  for (const RefusalName& r : kRefusalNames) {
    const std::string prefix = r.prefix;
    if (word.compare(0, prefix.size(), prefix) == 0 && word.size() > prefix.size()) {
      fault.final = FinalKind::Refusal;
      fault.refusal = r.line + word.substr(prefix.size());
      return true;
    }
  }
  if (word.compare(0, 6, "delay:") == 0) return ParseCount(word.substr(6), fault.delayMs);
  if (word.compare(0, 7, "reboot:") == 0) return ParseCount(word.substr(7), fault.rebootMs);
  return false;
}

}  // namespace

std::string ToUpper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool ParseCount(const std::string& text, int& value) {
  if (text.empty() || text.size() > 9) return false;
  int result = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    result = result * 10 + (c - '0');
  }
  value = result;
  return true;
}

bool CSimScript::AddSubmitFault(const std::string& entry) {
  size_t colon = entry.find(':');
  int index = 0;
  if (colon == std::string::npos || !ParseCount(entry.substr(0, colon), index) || index < 1) {
    return false;
  }
  SubmitFault fault = ForSubmission(index);
  if (!ApplySubmitWord(entry.substr(colon + 1), fault)) return false;
  m_submits[index] = fault;
  return true;
}

bool CSimScript::AddReboot(const std::string& entry) {
  const size_t colon = entry.find(':');
  if (colon == std::string::npos) return false;
  return AddSubmitFault(entry.substr(0, colon) + ":reboot" + entry.substr(colon));
}

bool CSimScript::AddCommandFault(const std::string& entry) {
  CommandFault fault;
  size_t delay = entry.rfind(":delay:");
  if (delay != std::string::npos && delay > 0 && ParseCount(entry.substr(delay + 7), fault.delayMs)) {
    fault.pattern = ToUpper(entry.substr(0, delay));
    fault.action = CommandAction::Delay;
    m_commands.push_back(fault);
    return true;
  }
  for (const CommandActionName& a : kCommandActions) {
    std::string suffix = a.suffix;
    if (EndsWith(entry, suffix) && entry.size() > suffix.size()) {
      fault.pattern = ToUpper(entry.substr(0, entry.size() - suffix.size()));
      fault.action = a.action;
      m_commands.push_back(fault);
      return true;
    }
  }
  return false;
}

SubmitFault CSimScript::ForSubmission(int index) const {
  auto it = m_submits.find(index);
  return it == m_submits.end() ? SubmitFault() : it->second;
}

const CommandFault* CSimScript::ForCommand(const std::string& command) const {
  std::string upper = ToUpper(command);
  for (const CommandFault& fault : m_commands) {
    if (fault.pattern == upper) return &fault;
  }
  return nullptr;
}

}  // namespace modemsim
