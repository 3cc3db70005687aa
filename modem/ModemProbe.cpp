// The probe's questions and how their replies are read.
#include "modem/ModemProbe.h"

#include <cctype>
#include <cstring>

#include "modem/Modem.h"
#include "modem/Reply.h"

namespace probe {
namespace {

struct QueryEntry {
  Query query;
  const char* command;
  const char* prefix;  // of the information line
  // Maker and model often come as a bare line, without the prefix.
  bool bare;
};

constexpr QueryEntry kQueries[] = {
    {Query::Maker, "AT+CGMI", "+CGMI:", true},
    {Query::Model, "AT+CGMM", "+CGMM:", true},
    {Query::Sim, "AT+CPIN?", "+CPIN:", false},
    {Query::Registration, "AT+CREG?", "+CREG:", false},
    {Query::Signal, "AT+CSQ", "+CSQ:", false},
    {Query::Operator, "AT+COPS?", "+COPS:", false},
    {Query::ServiceCentre, "AT+CSCA?", "+CSCA:", false},
};
static_assert(sizeof kQueries / sizeof kQueries[0] == kQueryCount, "one entry per query");

// +CME ERROR: 4 (TS 27.007 9.2.1) says the modem does not know the command.
constexpr char kNotSupportedCode[] = "4";
constexpr char kNotSupportedWords[] = "operation not supported";

const QueryEntry& EntryOf(Query query) { return kQueries[static_cast<size_t>(query)]; }

bool SameLetters(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

bool IsNotSupported(const reply::FinalResult& result) {
  return result.kind == reply::Final::Error ||
         (result.kind == reply::Final::CmeError &&
          (result.detail == kNotSupportedCode || SameLetters(result.detail, kNotSupportedWords)));
}

reply::AnswerRule RuleOf(const QueryEntry& entry) {
  reply::AnswerRule rule;
  rule.prefixes = {entry.prefix};
  rule.bare = entry.bare;
  rule.echo = entry.command;
  return rule;
}

Answer Judge(const QueryEntry& entry, const reply::Answer& reply) {
  const reply::FinalResult& result = reply.final;
  if (result.kind == reply::Final::None) return {AnswerKind::Silent, std::string()};
  if (IsNotSupported(result)) return {AnswerKind::Unsupported, std::string()};
  if (result.kind != reply::Final::Ok) return {AnswerKind::Refused, reply::RefusalCause(result)};
  const size_t prefix = std::strlen(entry.prefix);
  for (const std::string& line : reply.lines) {
    if (line.compare(0, prefix, entry.prefix) == 0) {
      return {AnswerKind::Given, reply::Trimmed(line.substr(prefix))};
    }
  }
  for (const std::string& line : reply.lines) {
    if (!reply::Trimmed(line).empty()) return {AnswerKind::Given, reply::Trimmed(line)};
  }
  return {AnswerKind::Unsupported, std::string()};  // OK without the information
}

}  // namespace

Answer ReadAnswer(Query query, const std::string& data) {
  const QueryEntry& entry = EntryOf(query);
  return Judge(entry, reply::ReadAnswer(RuleOf(entry), data));
}

Answers AskModem(CModem& modem, uint32_t limitMs) {
  Answers answers;
  for (const QueryEntry& entry : kQueries) {
    answers[static_cast<size_t>(entry.query)] =
        Judge(entry, modem.Command(entry.command, RuleOf(entry), limitMs));
  }
  return answers;
}

}  // namespace probe
