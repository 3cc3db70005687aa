#pragma once
// The modem search: every port tried at the same time, one thread each, so
// that ports that stay silent cost the reply limit once in all, not once
// each. A port is opened at the speed asked for and sent "at"; an OK makes it
// a modem. A port that answers with bytes that are no reply (what a modem
// set to another speed sends) is tried again at the common speeds, briefly
// each; a silent one is not, as no speed would change its silence.
//
// Threads: Start, Stop and Wait on one thread (the searcher's); the events
// run on the ports' threads, several at once, and must not block for long.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The speeds a port that answers with garbage is tried at, in this order,
// bit/s.
constexpr int kCommonSpeeds[] = {115200, 57600, 38400, 19200, 9600};

enum class PortAnswer {
  Modem,       // "at" answered with OK
  Silent,      // no reply within the limit (nothing, or text without one)
  Garbage,     // bytes that are no reply, at every speed tried
  Refused,     // a reply that ends the command without OK (ERROR)
  CannotOpen,  // the port does not open (the reason says why)
  Stopped,     // the search was stopped before the port answered
};

// How one port answered.
struct CPortFinding {
  int m_port = 0;
  PortAnswer m_answer = PortAnswer::Stopped;
  // Modem: the speed it answered at (0: the port's own speed); otherwise the
  // speed asked for.
  int m_baudRate = 0;
  std::string m_reason;  // CannotOpen: the system's words (UTF-8)
};

// One try: "at" on port at baudRate (0: the port's own speed), waiting up to
// limitMs for a reply, and less once bytes that are no reply stop coming.
// Ends early when stop becomes true (Stopped).
using PortTrial = std::function<CPortFinding(int port, int baudRate, uint32_t limitMs,
                                             const std::atomic<bool>& stop)>;

// The try over the serial port (CModem), with its bytes in the "modem" log.
CPortFinding TryPortAt(int port, int baudRate, uint32_t limitMs, const std::atomic<bool>& stop);

class CPortSearch {
 public:
  struct Events {
    // A port's try at a speed begins (the port's thread).
    std::function<void(int port, int baudRate)> trying;
    // A port's search has ended with finding (the port's thread).
    std::function<void(const CPortFinding& finding)> found;
  };

  // The reply limit of the first try of each port, and of the tries at the
  // other speeds, ms.
  static constexpr uint32_t kReplyLimitMs = 10000;
  static constexpr uint32_t kSpeedLimitMs = 1000;

  explicit CPortSearch(PortTrial trial = TryPortAt) : m_trial(std::move(trial)) {}
  ~CPortSearch();  // stops and waits
  CPortSearch(const CPortSearch&) = delete;
  CPortSearch& operator=(const CPortSearch&) = delete;

  // Starts trying ports (a port listed twice, or 0, is tried once, or not)
  // at baudRate first; returns at once. Once started, a search must be
  // waited for before the next Start.
  void Start(const std::vector<int>& ports, int baudRate, Events events = Events());
  // The ports being tried (after Start, until Wait).
  size_t PortCount() const { return m_findings.size(); }
  // Asks every try to end; they do within a tenth of a second or so.
  void Stop() { m_stop = true; }
  // Waits for every port's try; the findings in the order of the ports.
  std::vector<CPortFinding> Wait();

 private:
  CPortFinding SearchPort(int port, int baudRate);

  PortTrial m_trial;
  Events m_events;
  bool m_started = false;
  std::atomic<bool> m_stop{false};
  std::vector<CPortFinding> m_findings;
  std::vector<std::thread> m_threads;
};

// Tries ports as CPortSearch does and waits for them all.
std::vector<CPortFinding> SearchPorts(const std::vector<int>& ports, int baudRate,
                                      CPortSearch::Events events = CPortSearch::Events());
