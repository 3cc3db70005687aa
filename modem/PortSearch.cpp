#include "modem/PortSearch.h"

#include <algorithm>
#include <system_error>

#include "modem/ComPort.h"
#include "modem/Log.h"
#include "modem/Reply.h"
#include "platform/Clock.h"

namespace {

constexpr char kEscape = 27;
constexpr char kAt[] = "at\r";
// After bytes that are no reply, this much quiet ends a try: a modem at
// the right speed answers "at" at once.
constexpr uint32_t kGarbageQuietMs = 500;
// Between two looks at a port that has sent nothing.
constexpr uint32_t kIdleMs = 20;
// A line longer than this is no reply; the rest of it is dropped.
constexpr size_t kMaxLine = 256;
constexpr int kChunk = 256;

void LogStep(int port, const std::string& text) {
  GetLog().Write("engine", "FindPort", port, text.c_str());
}

// Modems answer in ASCII lines; a modem set to another speed sends bytes
// outside it. ESC may come back as the echo of the one sent.
bool IsForeign(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte < 0x20 || byte > 0x7E) && byte != '\r' && byte != '\n' && byte != '\t' &&
         byte != static_cast<unsigned char>(kEscape);
}

// Reads the port's answer to "at" line by line: the echo and unsolicited
// lines pass, the final result decides.
class CReplyReader {
 public:
  // Modem or Refused once a final result came; Silent while none has.
  PortAnswer Take(const char* data, int length) {
    for (int i = 0; i < length; ++i) {
      const char c = data[i];
      m_foreign = m_foreign || IsForeign(c);
      if (c != '\r' && c != '\n') {
        if (m_line.size() < kMaxLine) m_line += c;
        continue;
      }
      const reply::FinalResult result = reply::ReadFinalLine(m_line);
      m_line.clear();
      if (result.kind == reply::Final::Ok) return PortAnswer::Modem;
      if (reply::IsFailure(result)) return PortAnswer::Refused;
    }
    return PortAnswer::Silent;
  }
  bool Foreign() const { return m_foreign; }

 private:
  std::string m_line;
  bool m_foreign = false;
};

PortAnswer AwaitReply(CComPort& line, uint32_t limitMs, const std::atomic<bool>& stop) {
  char chunk[kChunk];
  line.Receive(chunk, kChunk);  // what the port sent before is no answer
  // A modem left waiting for PDU text drops it on ESC; in command mode ESC
  // is ignored.
  line.Transmit(&kEscape, 1, 0);
  line.Transmit(kAt, sizeof kAt - 1, 0);
  CReplyReader reader;
  const uint32_t start = platform::TickMs();
  uint32_t last = start;
  // Every pause is followed by a look at the port, the last one included.
  for (;;) {
    if (stop) return PortAnswer::Stopped;
    const int got = line.Receive(chunk, kChunk);
    if (got > 0) {
      const PortAnswer answer = reader.Take(chunk, got);
      if (answer != PortAnswer::Silent) return answer;
      last = platform::TickMs();
      continue;
    }
    const uint32_t now = platform::TickMs();
    if (now - start >= limitMs) break;
    if (reader.Foreign() && now - last >= kGarbageQuietMs) break;
    platform::SleepMs(kIdleMs);
  }
  return reader.Foreign() ? PortAnswer::Garbage : PortAnswer::Silent;
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
  finding.m_answer = AwaitReply(line, limitMs, stop);
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
