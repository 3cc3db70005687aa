#include "ui/ReportListener.h"

#include <cstdint>

#include "engine/Engine.h"
#include "ui/framework/MessageLoop.h"

namespace {

constexpr DWORD kStopSliceMs = 20;

}  // namespace

bool CReportListener::Start(CEngine& engine, HWND window, UINT endedMessage) {
  if (m_thread.joinable()) return true;
  m_engine = &engine;
  m_ended = false;
  try {
    m_thread = std::thread([this, window, endedMessage] {
      try {
        m_engine->CollectReports(UINT32_MAX);
      } catch (...) {
        // The runtime's failure (memory) ends the listening, not the program.
      }
      m_ended = true;
      ::PostMessageW(window, endedMessage, 0, 0);
    });
  } catch (...) {
    return false;
  }
  return true;
}

void CReportListener::Stop() {
  if (!m_thread.joinable()) return;
  // Asked again until the thread ends: a stop that comes before the engine
  // has begun to listen is cleared when it begins.
  WaitLettingSentMessagesIn(
      [this] {
        if (m_ended) return true;
        m_engine->StopListening();
        return false;
      },
      kStopSliceMs);
  m_thread.join();
  m_ended = false;
}
