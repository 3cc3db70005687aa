#pragma once
// --port-retries: ends the delivery after so many failed captures of the
// modem in a row, where the worker alone would try again every ten seconds
// for ever. A capture that gets as far as sending (Sent or SendError) ends
// the row. It stands between the worker and the other frames and passes
// every call on.
#include <mutex>
#include <vector>

#include "engine/Engine.h"
#include "engine/MainFrameInterface.h"
#include "tools/varnek-send/ConsoleFrame.h"

class CPortRetryLimit final : public IMainFrame {
 public:
  // limit 0: no limit.
  CPortRetryLimit(CEngine& engine, IMainFrame& next, CConsoleFrame& console, int limit);

  // Worker thread.
  void OnListChanged(size_t index) override;
  void OnStatusText(const char* text) override { m_next.OnStatusText(text); }
  void OnDeliveryStarted() override { m_next.OnDeliveryStarted(); }
  void OnDeliveryFinished() override { m_next.OnDeliveryFinished(); }

 private:
  CEngine& m_engine;
  IMainFrame& m_next;
  CConsoleFrame& m_console;
  int m_limit;
  std::mutex m_lock;  // the delivery's threads call at once
  int m_failures = 0;     // in a row
  bool m_gaveUp = false;  // said once
  std::vector<DeliveryState> m_lastStates;
};
