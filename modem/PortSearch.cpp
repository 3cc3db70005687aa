#include "modem/PortSearch.h"

#include <algorithm>
#include <system_error>

#include "modem/ComPort.h"
#include "modem/Log.h"
#include "modem/AnswerReader.h"
#include "platform/Clock.h"

namespace {

constexpr char kEscape = 27;
constexpr char kAt[] = "at";
// The answer to "at" is read in slices of this length, so that a stop is
// seen within one. A modem at the right speed answers within the first: a
// slice that brought only garbage (bytes no modem sends, and no line one
// sends) ends the try at once.
constexpr uint32_t kSliceMs = 500;

void LogStep(int port, const std::string& text) {
  GetLog().Write("engine", "FindPort", port, text.c_str());
}

PortAnswer AwaitReply(CComPort& line, uint32_t limitMs, const std::atomic<bool>& stop,
                      std::string& reason) {
  line.DiscardInput();  // what the port sent before is no answer
  // A modem left waiting for message text drops it on ESC; in command mode
  // ESC is ignored.
  line.Transmit(&kEscape, 1, 0);
  const std::string command = std::string(kAt) + "\r";
  line.Transmit(command.c_str(), static_cast<int>(command.size()), 0);
  reply::AnswerRule rule;
  rule.echo = kAt;
  reply::CAnswerReader reader(rule);
  bool garbage = false;
  const uint32_t start = platform::TickMs();
  for (uint32_t waited = 0; waited < limitMs; waited = platform::TickMs() - start) {
    if (stop) return PortAnswer::Stopped;
    const CComPort::WaitEnd end = line.Await(reader, std::min(kSliceMs, limitMs - waited));
    garbage = garbage || line.HeardGarbage();
    const reply::Answer& answer = reader.Result();
    if (end == CComPort::WaitEnd::Answered)
      return answer.final.kind == reply::Final::Ok ? PortAnswer::Modem : PortAnswer::Refused;
    if (end == CComPort::WaitEnd::Lost) {
      reason = line.FailureReason();
      return PortAnswer::CannotOpen;
    }
    if (garbage && !answer.heard) return PortAnswer::Garbage;
  }
  return PortAnswer::Silent;
}

std::string Speed(int baudRate) {
  return baudRate == 0 ? "the port's own speed" : std::to_string(baudRate) + " bit/s";
}

// One line of the "engine" log per port.
std::string Outcome(const CPortFinding& finding) {
  switch (finding.m_answer) {
    case PortAnswer::Modem: return "a modem, at " + Speed(finding.m_baudRate);
    case PortAnswer::Silent: return "silent at " + Speed(finding.m_baudRate);
    case PortAnswer::Garbage: return "garbage at every common speed";
    case PortAnswer::Refused: return "refuses \"at\" at " + Speed(finding.m_baudRate);
    case PortAnswer::CannotOpen: return "cannot be opened: " + finding.m_reason;
    case PortAnswer::Stopped: return "not tried to the end";
  }
  return std::string();
}

}  // namespace

CPortFinding TryPortAt(int port, int baudRate, uint32_t limitMs, const std::atomic<bool>& stop) {
  CPortFinding finding;
  finding.m_port = port;
  finding.m_baudRate = baudRate;
  CComPort line;
  line.SetBaudRate(baudRate);
  if (!line.Open(port)) {
    finding.m_answer = PortAnswer::CannotOpen;
    finding.m_reason = line.FailureReason();
    line.Close();
    return finding;
  }
  finding.m_answer = AwaitReply(line, limitMs, stop, finding.m_reason);
  line.Close();
  return finding;
}

CPortSearch::~CPortSearch() {
  Stop();
  Wait();
}

void CPortSearch::Start(const std::vector<int>& ports, int baudRate, Events events) {
  if (m_started) return;
  m_started = true;
  m_stop = false;
  m_events = std::move(events);
  LogStep(0, "start...");
  for (int port : ports) {
    const bool seen = std::any_of(m_findings.begin(), m_findings.end(),
                                  [port](const CPortFinding& f) { return f.m_port == port; });
    if (port <= 0 || seen) continue;
    CPortFinding waiting;
    waiting.m_port = port;
    waiting.m_baudRate = baudRate;
    m_findings.push_back(waiting);
  }
  // Every finding has its place before the first thread writes one.
  for (size_t i = 0; i < m_findings.size(); ++i) {
    try {
      m_threads.emplace_back([this, i, baudRate] { m_findings[i] = SearchPort(m_findings[i].m_port, baudRate); });
    } catch (const std::system_error&) {
      m_findings[i] = SearchPort(m_findings[i].m_port, baudRate);  // no thread to be had: it waits its turn
    }
  }
}

std::vector<CPortFinding> CPortSearch::Wait() {
  if (!m_started) return {};
  m_started = false;
  for (std::thread& thread : m_threads) thread.join();
  m_threads.clear();
  const bool found = std::any_of(m_findings.begin(), m_findings.end(),
                                 [](const CPortFinding& f) { return f.m_answer == PortAnswer::Modem; });
  LogStep(0, found ? "suc\xF1" "ess..." : "failed...");  // the fourth letter is the Cyrillic "с"
  std::vector<CPortFinding> findings;
  findings.swap(m_findings);
  return findings;
}

// The speed asked for first, for as long as a modem may take; at the common
// speeds only after garbage, and briefly.
CPortFinding CPortSearch::SearchPort(int port, int baudRate) {
  if (m_events.trying) m_events.trying(port, baudRate);
  CPortFinding finding = m_trial(port, baudRate, kReplyLimitMs, m_stop);
  for (const int speed : kCommonSpeeds) {
    if (finding.m_answer != PortAnswer::Garbage) break;
    if (speed == baudRate) continue;
    if (m_events.trying) m_events.trying(port, speed);
    const CPortFinding other = m_trial(port, speed, kSpeedLimitMs, m_stop);
    // A reply of any kind says the speed is right.
    if (other.m_answer == PortAnswer::Modem || other.m_answer == PortAnswer::Refused ||
        other.m_answer == PortAnswer::Stopped)
      finding = other;
  }
  finding.m_port = port;
  LogStep(port, Outcome(finding));
  if (m_events.found) m_events.found(finding);
  return finding;
}

std::vector<CPortFinding> SearchPorts(const std::vector<int>& ports, int baudRate,
                                      CPortSearch::Events events) {
  CPortSearch search;
  search.Start(ports, baudRate, std::move(events));
  return search.Wait();
}
