#include "tools/modemsim/ModemSim.h"

#include <cctype>

#include "tools/modemsim/SimStatusLines.h"

namespace modemsim {

namespace {

constexpr char kCtrlZ = 26;
constexpr char kEsc = 27;
// The modem's "invalid PDU mode parameter" error; the text of a text-mode
// submission that cannot go (bad UCS2 hex, too long) gets it too.
constexpr const char* kInvalidPdu = "\r\n+CMS ERROR: 304\r\n";
// A network that took its share for now: temporary failure (TS 24.011 E.2).
constexpr const char* kTemporaryFailure = "+CMS ERROR: 41";
constexpr int kIdleStepMs = 10;
constexpr int kReferences = 256;  // TP-MR is one octet

std::string Trim(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

}  // namespace

const CModemSim::CommandEntry CModemSim::kCommands[] = {
    {"AT", false, &CModemSim::AnswerOk},
    {"ATE0", false, &CModemSim::EchoOff},
    {"ATE1", false, &CModemSim::EchoOn},
    {"ATZ", false, &CModemSim::Reset},
    {"AT+CMGF", true, &CModemSim::MessageFormat},
    {"AT+CSMP", true, &CModemSim::TextParameters},
    {"AT+CSCS", true, &CModemSim::Charset},
    {"AT+CSCA=", true, &CModemSim::WriteServiceCentre},
    {"AT+CMEE=", true, &CModemSim::AnswerOk},
    {"AT+CMGS=", true, &CModemSim::StartSubmission},
    {"AT+CNMI", true, &CModemSim::SetIndications},
    {"AT+CPMS", true, &CModemSim::SelectStorage},
    {"AT+CMGL", true, &CModemSim::ListMessages},
    {"AT+CMGR", true, &CModemSim::ReadMessage},
    {"AT+CMGD", true, &CModemSim::DeleteMessage},
};

CModemSim::CModemSim(const CSimOptions& options, CSimLine& line, CSubmissionRecord& record,
                     const CSimStop& stop)
    : m_options(options),
      m_line(line),
      m_record(record),
      m_stop(stop),
      m_answers(options.m_answers),
      m_text(options.m_textModeOnly),
      m_centre(options.m_centreRequired),
      m_power(options.m_simBusyMs, options.m_simBusyLine),
      m_rateLimit(options.m_rateCount, options.m_rateWindowMs),
      m_echo(options.m_echo),
      m_textMode(options.m_startInText),
      m_nextRef(options.m_firstRef),
      m_random(1),
      m_urcDue(std::chrono::steady_clock::now() + std::chrono::milliseconds(options.m_urcEveryMs)),
      m_messaging(options.m_messaging, record) {
  m_line.LimitBursts(options.m_burstBytes, options.m_burstMs);
}

void CModemSim::Tick() {
  const std::string arrived = m_options.m_silent ? std::string() : m_messaging.Due();
  if (!arrived.empty()) m_line.SendUnsolicited(arrived);
  if (m_options.m_silent || m_options.m_urcs.empty()) return;
  const auto now = std::chrono::steady_clock::now();
  if (now < m_urcDue) return;
  m_line.SendUnsolicited(m_options.m_urcs[m_nextUrc]);
  m_nextUrc = (m_nextUrc + 1) % m_options.m_urcs.size();
  m_urcDue = now + std::chrono::milliseconds(m_options.m_urcEveryMs);
}

void CModemSim::Idle(int ms, bool ticking) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end && !m_stop.Requested()) {
    if (ticking) Tick();
    PauseMs(kIdleStepMs);
  }
}

void CModemSim::Feed(const std::string& bytes) {
  if (m_options.m_silent) return;
  m_lineDropped = false;
  for (char c : bytes) {
    // The rest of a read that a drop cut off went into the old line.
    if (m_lineDropped) break;
    if (m_textMode) {
      FeedTextByte(c);
    } else {
      FeedCommandByte(c);
    }
  }
  FlushEcho();
}

// A modem echoes what it is typed at once, before it acts on a command.
void CModemSim::FeedCommandByte(char c) {
  if (m_echo) m_echoPending += c;
  if (c != '\r') {
    m_command += c;
    return;
  }
  FlushEcho();
  std::string command = Trim(m_command);
  m_command.clear();
  RunCommand(command);
}

void CModemSim::RunCommand(const std::string& command) {
  // A modem ignores what comes before "AT" (V.250 5.2.1): line noise, or the
  // ESC that a client sends in case the modem still waits for PDU text. A
  // line without AT gets no answer.
  std::string upper = ToUpper(command);
  size_t at = upper.find("AT");
  if (at == std::string::npos) return;
  upper.erase(0, at);
  if (const CommandFault* fault = m_options.m_script.ForCommand(upper)) {
    if (fault->action == CommandAction::Silent) return;
    if (fault->action == CommandAction::Error) return FinalReply("\r\nERROR\r\n");
    Idle(fault->delayMs);
  }
  Dispatch(upper);
}

void CModemSim::Dispatch(const std::string& upper) {
  const auto answer = m_answers.find(upper);
  if (answer != m_answers.end()) return AnswerQuery(answer->second);
  for (const CommandEntry& entry : kCommands) {
    std::string text = entry.text;
    if (entry.prefix ? upper.compare(0, text.size(), text) == 0 : upper == text) {
      return (this->*entry.handler)(upper.substr(text.size()));
    }
  }
  FinalReply("\r\nERROR\r\n");
}

void CModemSim::AnswerOk(const std::string&) { FinalReply("\r\nOK\r\n"); }

// A query's information line comes before the OK that ends the answer; a
// refusal is the answer's last line itself.
void CModemSim::AnswerQuery(const std::string& line) {
  const bool final = line == "ERROR" || line.rfind("+CME ERROR:", 0) == 0 ||
                     line.rfind("+CMS ERROR:", 0) == 0;
  if (final) return FinalReply("\r\n" + line + "\r\n");
  FinalReply((line.empty() ? std::string() : "\r\n" + line + "\r\n") + "\r\nOK\r\n");
}

void CModemSim::SetIndications(const std::string& argument) {
  FinalReply(m_messaging.Indications(argument));
}

void CModemSim::SelectStorage(const std::string& argument) {
  FinalReply(m_messaging.Storage(argument));
}

void CModemSim::ListMessages(const std::string& argument) {
  FinalReply(m_messaging.List(argument));
}

void CModemSim::ReadMessage(const std::string& argument) { FinalReply(m_messaging.Read(argument)); }

void CModemSim::DeleteMessage(const std::string& argument) {
  FinalReply(m_messaging.Delete(argument));
}

void CModemSim::EchoOff(const std::string&) {
  m_echo = false;
  FinalReply("\r\nOK\r\n");
}

void CModemSim::EchoOn(const std::string&) {
  m_echo = true;
  FinalReply("\r\nOK\r\n");
}

void CModemSim::MessageFormat(const std::string& argument) {
  AnswerQuery(m_text.MessageFormat(argument));
}

void CModemSim::TextParameters(const std::string& argument) {
  AnswerQuery(m_text.Parameters(argument));
}

void CModemSim::Charset(const std::string& argument) { AnswerQuery(m_text.Charset(argument)); }

void CModemSim::WriteServiceCentre(const std::string& argument) {
  std::string queryLine;
  if (!m_centre.Write(argument, queryLine)) return FinalReply("\r\nERROR\r\n");
  m_answers["AT+CSCA?"] = queryLine;
  FinalReply("\r\nOK\r\n");
}

// ATZ restores the stored profile; its only setting here is the echo.
void CModemSim::Reset(const std::string&) {
  m_echo = m_options.m_echo;
  FinalReply("\r\nOK\r\n");
}

void CModemSim::StartSubmission(const std::string& argument) {
  if (!ParseSubmission(argument)) return FinalReply("\r\nERROR\r\n");
  m_pdu.clear();
  // A SIM that waits for its PIN, no network, or a SIM still busy after
  // power-up: refused before any text. The next AT+CMGS tries the same
  // submission again, so the faults scripted for it still apply.
  const std::string refusal = m_options.m_refuse.empty() ? m_power.Refusal() : m_options.m_refuse;
  if (!refusal.empty()) {
    FinalReply("\r\n" + refusal + "\r\n");
    m_record.Append(m_submission + 1, m_announced, "", "refused " + refusal, m_marks);
    return;
  }
  m_fault = m_options.m_script.ForSubmission(++m_submission);
  m_textMode = true;
  m_line.Send(StatusFlood(m_options.m_beforePromptBytes), 0, 0);
  if (!m_fault.noPrompt) Reply(m_options.m_prompt);
}

// PDU mode announces the length; the text format names the destination
// (and a PDU-mode "AT+CMGS=19" then means the number 19).
bool CModemSim::ParseSubmission(const std::string& argument) {
  m_marks.clear();
  m_textSubmission = m_text.TextFormat();
  if (!m_textSubmission) return ParseCount(argument, m_announced);
  std::string number;
  int type = 0;
  if (!m_text.ReadDestination(argument, number, type)) return false;
  m_announced = 0;
  m_marks = {{"mode", "text"}, {"number", number}, {"type", std::to_string(type)}};
  return true;
}

// In text mode nothing is a command: "at\r" is more (invalid) text. Only
// Ctrl-Z and ESC end it. With echo on, a modem echoes the text as it comes.
void CModemSim::FeedTextByte(char c) {
  if (c == kCtrlZ || c == kEsc) FlushEcho();
  if (c == kCtrlZ) return FinishSubmission();
  if (c == kEsc) return EscapeSubmission();
  if (m_echo && m_options.m_textEcho) m_echoPending += c;
  m_pdu += c;
  if (m_fault.drop && m_pdu.size() >= static_cast<size_t>(m_announced) + 1) DropSubmission();
}

void CModemSim::FinishSubmission() {
  if (m_fault.drop) return DropSubmission();
  std::string problem = m_textSubmission ? m_text.Check(m_pdu, m_marks) : CheckPdu();
  if (!problem.empty()) return Conclude(kInvalidPdu, "invalid " + problem);
  std::string refusal = m_textSubmission ? "" : m_centre.Check(m_pdu, m_marks);
  if (refusal.empty() && !m_textSubmission) refusal = m_messaging.Refusal(m_pdu);
  if (!refusal.empty()) return Conclude("\r\n" + refusal + "\r\n", "error " + refusal);
  AnswerSubmission();
}

void CModemSim::AnswerSubmission() {
  Idle(m_fault.delayMs + NetworkDelayMs());
  switch (m_fault.final) {
    case FinalKind::Ok:
    case FinalKind::RefZero: {
      if (m_fault.final == FinalKind::Ok && !m_rateLimit.Admit()) {
        return Conclude(std::string("\r\n") + kTemporaryFailure + "\r\n",
                        std::string("error ") + kTemporaryFailure);
      }
      int ref = 0;
      if (m_fault.final == FinalKind::Ok) {
        ref = m_nextRef;
        m_nextRef = (m_nextRef + 1) % kReferences;
        m_messaging.Submitted(m_submission, m_pdu, ref);
      }
      std::string head = "\r\n" + CmgsLine(m_options.m_cmgsForm, ref, m_textSubmission) + "\r\n";
      return Conclude(head + m_options.m_unsolicitedInside + "\r\nOK\r\n",
                      "ok " + std::to_string(ref));
    }
    case FinalKind::Error:
      return Conclude("\r\nERROR\r\n", "error ERROR");
    case FinalKind::Refusal:
      return Conclude("\r\n" + m_fault.refusal + "\r\n", "error " + m_fault.refusal);
    case FinalKind::Silent:
      return Conclude("", "silent");
  }
}

// The end of a submission after its text: the reply, or a reboot in its
// place. The network did with the message what the reply would have said;
// the client never learns it.
void CModemSim::Conclude(const std::string& reply, const std::string& answer) {
  if (m_fault.rebootMs < 0) {
    if (!reply.empty()) FinalReply(reply);
    return EndSubmission(answer);
  }
  m_marks.emplace_back("rebooted", "1");
  EndSubmission(answer);
  LoseLine(m_fault.rebootMs, true);
  PowerUp();
}

// What a device is after power-up: echo as configured, its message format
// and text-mode settings, the service centre not written, the SIM busy
// again for a while.
void CModemSim::PowerUp() {
  m_echo = m_options.m_echo;
  m_text.PowerUp();
  m_centre.PowerUp();
  m_power.PowerUp();
}

int CModemSim::NetworkDelayMs() {
  const int low = m_options.m_networkMinMs;
  const int high = m_options.m_networkMaxMs > low ? m_options.m_networkMaxMs : low;
  return std::uniform_int_distribution<int>(low, high)(m_random);
}

// ESC abandons the message, as a modem does; the client sends it after a
// submission went wrong, to get the modem back into command mode.
void CModemSim::EscapeSubmission() {
  FinalReply("\r\nOK\r\n");
  EndSubmission("escaped");
}

void CModemSim::DropSubmission() {
  EndSubmission("dropped");
  LoseLine(m_options.m_dropMs, false);
}

// The client's end hangs up; what it sent since is lost with the old line.
void CModemSim::LoseLine(int pauseMs, bool vanish) {
  m_command.clear();
  m_echoPending.clear();
  m_lineDropped = true;
  m_line.Hangup(vanish);
  Idle(pauseMs, false);
  m_line.Reconnect();
}

void CModemSim::EndSubmission(const std::string& answer) {
  m_record.Append(m_submission, m_announced, m_pdu, answer, m_marks);
  m_textMode = false;
  m_pdu.clear();
  m_marks.clear();
}

std::string CModemSim::CheckPdu() const {
  for (char c : m_pdu) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return "hex";
  }
  if (m_pdu.size() % 2 != 0) return "hex";
  // The announced length leaves out the service-centre field.
  size_t centreOctets = 0;
  std::string centre;
  if (!ReadServiceCentre(m_pdu, centreOctets, centre)) return "length";
  if (m_pdu.size() / 2 - centreOctets != static_cast<size_t>(m_announced)) return "length";
  return "";
}

void CModemSim::FlushEcho() {
  if (m_echoPending.empty()) return;
  m_line.Send(m_echoPending, 0, 0);
  m_echoPending.clear();
}

void CModemSim::Reply(const std::string& text) {
  Idle(m_options.m_delayMs);
  m_line.Send(m_options.m_noise + text, m_options.m_splitBytes, m_options.m_splitMs);
}

void CModemSim::FinalReply(const std::string& text) {
  Reply(m_options.m_unsolicited + text);
}

}  // namespace modemsim
