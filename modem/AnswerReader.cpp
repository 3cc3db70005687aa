#include "modem/AnswerReader.h"

#include <cctype>
#include <cstring>

#include "modem/ReplyLines.h"

namespace reply {
namespace {

// Shown at once with their PDU on the next line (3GPP TS 27.005 3.4.1):
// a status report, an incoming message, a cell broadcast.
constexpr const char* kWithPdu[] = {"+CDS:", "+CMT:", "+CBM:"};
// Sent unasked by many modems; anything else unasked begins with '+' or '^'.
constexpr const char* kPlainUnsolicited[] = {"RING", "NO CARRIER", "BUSY", "NO ANSWER"};

bool StartsWith(const std::string& text, const char* start) {
  return text.compare(0, std::strlen(start), start) == 0;
}

bool SameLetters(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// ">" at the start of a line, then a blank or the end: "> " and ">" CR LF (as
// several LTE modules send it). A ">" inside a line does not count.
bool IsPromptLine(const std::string& line) {
  return !line.empty() && line[0] == '>' && (line.size() == 1 || line[1] == ' ');
}

}  // namespace

bool CAnswerReader::IsEcho(const std::string& line) const {
  if (m_rule.echo.empty()) return false;
  std::string text;
  // The echo of an ESC sent before the command may lead it.
  for (char c : line) {
    if (static_cast<unsigned char>(c) >= 0x20) text += c;
  }
  text = Trimmed(text);
  // Some modems echo the text typed after the prompt on the prompt's line.
  if (text.compare(0, 2, "> ") == 0) text = Trimmed(text.substr(2));
  return SameLetters(text, Trimmed(m_rule.echo));
}

bool CAnswerReader::TakeUnsolicitedLine(const std::string& line) {
  for (const char* start : kWithPdu) {
    if (StartsWith(line, start)) {
      m_unsolicited.push_back({line, std::string()});
      m_pduFollows = true;
      return true;
    }
  }
  for (const char* word : kPlainUnsolicited) {
    if (Trimmed(line) == word) {
      m_unsolicited.push_back({line, std::string()});
      return true;
    }
  }
  if (line[0] != '+' && line[0] != '^') return false;
  m_unsolicited.push_back({line, std::string()});
  return true;
}

bool CAnswerReader::TakesFinal(const FinalResult& final) const {
  if (final.kind != Final::Ok) return true;
  return !m_rule.prompt && !(m_rule.needsLine && m_answer.lines.empty());
}

void CAnswerReader::TakeLine(const std::string& line) {
  if (m_answer.Ended() || Trimmed(line).empty()) return;
  if (m_pduFollows) {
    m_unsolicited.back().pdu = Trimmed(line);
    m_pduFollows = false;
    return;
  }
  if (IsEcho(line)) {
    m_answer.heard = true;
    return;
  }
  const FinalResult final = ReadFinalLine(line);
  if (final.kind != Final::None) {
    m_answer.heard = true;
    if (TakesFinal(final)) m_answer.final = final;
    return;
  }
  if (m_rule.prompt && IsPromptLine(line)) {
    m_answer.heard = true;
    m_answer.prompt = true;
    return;
  }
  for (const std::string& prefix : m_rule.prefixes) {
    if (StartsWith(line, prefix.c_str())) {
      m_answer.heard = true;
      m_answer.lines.push_back(line);
      return;
    }
  }
  if (TakeUnsolicitedLine(line)) {
    m_answer.heard = true;
  } else if (m_rule.bare) {
    m_answer.lines.push_back(line);
  }
}

void CAnswerReader::TakeUnfinished(const std::string& partial) {
  // ">" alone may still become ">0011...": the byte after it decides.
  if (!m_answer.Ended() && m_rule.prompt && partial.size() >= 2 && IsPromptLine(partial)) {
    m_answer.heard = true;
    m_answer.prompt = true;
  }
}

std::vector<Unsolicited> CAnswerReader::TakeUnsolicited() {
  std::vector<Unsolicited> taken;
  // One still waiting for its PDU stays until the PDU has come.
  const size_t ready = m_pduFollows ? m_unsolicited.size() - 1 : m_unsolicited.size();
  taken.assign(m_unsolicited.begin(), m_unsolicited.begin() + static_cast<long>(ready));
  m_unsolicited.erase(m_unsolicited.begin(), m_unsolicited.begin() + static_cast<long>(ready));
  return taken;
}

Answer ReadAnswer(const AnswerRule& rule, const std::string& data) {
  CLineSplitter lines;
  lines.Feed(data.data(), data.size());
  CAnswerReader reader(rule);
  std::string line;
  while (lines.Next(line)) reader.TakeLine(line);
  reader.TakeUnfinished(lines.Unfinished());
  return reader.Result();
}

}  // namespace reply
