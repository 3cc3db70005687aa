#include "tools/modemsim/SimStop.h"

#include <signal.h>
#include <sys/stat.h>

#include <utility>

namespace modemsim {

namespace {

volatile sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int) { g_stopSignal = 1; }

bool FileExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0;
}

}  // namespace

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

CSimStop::CSimStop(std::string stopFile, int maxSeconds)
    : m_stopFile(std::move(stopFile)),
      m_deadline(std::chrono::steady_clock::now() + std::chrono::seconds(maxSeconds)) {}

bool CSimStop::Requested() const {
  return g_stopSignal != 0 || FileExists(m_stopFile) ||
         std::chrono::steady_clock::now() >= m_deadline;
}

}  // namespace modemsim
