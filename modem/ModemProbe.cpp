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

constexpr int kReplyBuffer = 1024;
// +CME ERROR: 4 (TS 27.007 9.2.1) says the modem does not know the command.
constexpr char kNotSupportedCode[] = "4";
constexpr char kNotSupportedWords[] = "operation not supported";

// Lines that are not a bare answer: the unsolicited lines that a modem sends
// at any moment (+CMTI, ^RSSI, RING ...).
constexpr const char* kUnsolicitedStarts[] = {"+", "^", "RING"};

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

// A line that can be the bare answer to the command: not its echo, not a
// final result, not unsolicited.
bool IsBareAnswer(const std::string& line, const char* command) {
  if (SameLetters(reply::Trimmed(line), command)) return false;
  if (reply::ReadFinalLine(line).kind != reply::Final::None) return false;
  for (const char* start : kUnsolicitedStarts) {
    if (line.compare(0, std::strlen(start), start) == 0) return false;
  }
  return !reply::Trimmed(line).empty();
}

}  // namespace

Answer ReadAnswer(Query query, const char* data, int length) {
  const QueryEntry& entry = EntryOf(query);
  const reply::FinalResult result = reply::ReadFinalResult(data, length);
  if (result.kind == reply::Final::None) return {AnswerKind::Silent, std::string()};
  if (IsNotSupported(result)) return {AnswerKind::Unsupported, std::string()};
  if (result.kind != reply::Final::Ok) return {AnswerKind::Refused, reply::RefusalCause(result)};
  const std::vector<std::string> lines = reply::CompleteLines(data, length);
  const size_t prefix = std::strlen(entry.prefix);
  for (const std::string& line : lines) {
    if (line.compare(0, prefix, entry.prefix) == 0) {
      return {AnswerKind::Given, reply::Trimmed(line.substr(prefix))};
    }
  }
  for (const std::string& line : lines) {
    if (entry.bare && IsBareAnswer(line, entry.command)) {
      return {AnswerKind::Given, reply::Trimmed(line)};
    }
  }
  return {AnswerKind::Unsupported, std::string()};  // OK without the information
}

Answers AskModem(CModem& modem, uint32_t limitMs) {
  Answers answers;
  char buffer[kReplyBuffer];
  for (const QueryEntry& entry : kQueries) {
    const std::string command = std::string(entry.command) + "\r";
    const int length = static_cast<int>(command.size());
    Answer& answer = answers[static_cast<size_t>(entry.query)];
    if (modem.Transmit(command.c_str(), length, 0) != length) continue;  // stays Silent
    modem.WaitForOk(buffer, kReplyBuffer, limitMs, nullptr);
    answer = ReadAnswer(entry.query, buffer, static_cast<int>(std::strlen(buffer)));
  }
  return answers;
}

}  // namespace probe
