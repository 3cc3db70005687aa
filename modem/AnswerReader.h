#pragma once
// What the modem answers to one command, read line by line (lines from
// reply::CLineSplitter): the final result code that ends the command, the
// information lines that answer it, the SMS prompt. Everything else is no
// answer: the echo of what was sent, the lines a modem sends unasked at any
// moment (^RSSI, +CMTI, RING, +CREG ...), and any line the command does not
// expect. Pure: no ports, logs or clocks.
#include <string>
#include <vector>

#include "modem/Reply.h"

namespace reply {

// Which lines answer the command in hand.
struct AnswerRule {
  // The starts of its information lines ("+CMGS:"); any other line that
  // begins with '+' is unsolicited.
  std::vector<std::string> prefixes;
  // Lines without a '+' answer too (the maker's name after AT+CGMI).
  bool bare = false;
  // The SMS prompt ends the answer (AT+CMGS and its text to follow). An OK
  // does not: a late OK of an earlier command may come before the prompt.
  bool prompt = false;
  // An OK before any information line is an earlier command's, late (the
  // OK a modem gives to the ESC that ends a forgotten text input): a query
  // whose answer always holds its line waits on for it.
  bool needsLine = false;
  // What was sent, without its CR: its echo is no answer.
  std::string echo;
};

struct Answer {
  FinalResult final;               // Final::None while the command runs
  bool prompt = false;             // the SMS prompt came
  std::vector<std::string> lines;  // the information lines, in order
  // Some line was one a modem sends (an answer, a result code, an echo, a
  // known unsolicited line). Bytes that never make one are garbage, as a
  // modem at another speed gives.
  bool heard = false;
  bool Ended() const { return prompt || final.kind != Final::None; }
};

// A line the modem sent unasked; a report or a message shown at once
// (+CDS, +CMT) brings its PDU on the next line.
struct Unsolicited {
  std::string line;
  std::string pdu;
};

class CAnswerReader {
 public:
  explicit CAnswerReader(AnswerRule rule) : m_rule(std::move(rule)) {}

  // One complete line. Lines after the answer has ended are not taken.
  void TakeLine(const std::string& line);
  // The line begun but not ended, where the prompt "> " stays.
  void TakeUnfinished(const std::string& partial);

  const Answer& Result() const { return m_answer; }
  // The unsolicited lines so far, handed over once.
  std::vector<Unsolicited> TakeUnsolicited();

 private:
  bool IsEcho(const std::string& line) const;
  bool TakeUnsolicitedLine(const std::string& line);
  bool TakesFinal(const FinalResult& final) const;

  AnswerRule m_rule;
  Answer m_answer;
  bool m_pduFollows = false;  // the next line is the PDU of the last unsolicited one
  std::vector<Unsolicited> m_unsolicited;
};

// The reply to one command as a whole, for tests and for replies already
// received: data split into lines and read with rule.
Answer ReadAnswer(const AnswerRule& rule, const std::string& data);

}  // namespace reply
