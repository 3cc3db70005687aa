#pragma once
// CReportListener: the window listens for status reports and replies after a
// delivery, for as long as it stays open: a thread of its own runs
// CEngine::CollectReports without a limit, and rows turn "Доставлен" as the
// reports come (they reach the window as a delivery's changes do, sent to
// its thread through IMainFrame).
//
// Window thread only. While it listens the engine's list must not change
// (reports are written into its items) and no delivery may start (the modem
// is held): Stop first.
#include <windows.h>

#include <atomic>
#include <thread>

class CEngine;

class CReportListener {
 public:
  CReportListener() = default;
  ~CReportListener() { Stop(); }
  CReportListener(const CReportListener&) = delete;
  CReportListener& operator=(const CReportListener&) = delete;

  // Starts listening (unless it listens already) on the modems of the last
  // delivery; endedMessage is posted to window when the listening ends of
  // itself (no modem answered, or it was lost). False when no thread could
  // be made.
  bool Start(CEngine& engine, HWND window, UINT endedMessage);
  // Started and not stopped yet, though perhaps ended of itself.
  bool Active() const { return m_thread.joinable(); }
  // It ended of itself: Stop returns at once.
  bool Ended() const { return m_ended; }
  // Ends the listening and waits for the thread, handling meanwhile what it
  // sends to this thread's windows. The engine looks at the stop every
  // second; a modem command in hand is finished first (it may take up to
  // its limit when the modem falls silent just then).
  void Stop();

 private:
  CEngine* m_engine = nullptr;
  std::thread m_thread;
  std::atomic<bool> m_ended{false};
};
