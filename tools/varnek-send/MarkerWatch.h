#pragma once
// Tells the operator when the duplicate check is on but cannot do its work,
// which the engine keeps to itself: before the delivery when the marker
// folder takes no file (the run then ends: nothing goes out unguarded), and
// once at the first number sent whose marker is missing (its claim stays, so
// that no later run sends it again). It stands between the worker and the
// console frame and passes every call on.
#include <mutex>

#include "engine/Engine.h"
#include "engine/MainFrameInterface.h"
#include "tools/varnek-send/ConsoleFrame.h"

class CMarkerWatch final : public IMainFrame {
 public:
  CMarkerWatch(const CEngine& engine, CConsoleFrame& frame);

  // Before the delivery, with the check on: tries a claim in the marker
  // folder (made when missing, as the first claim would make it). false, and
  // said, when none can be written.
  bool CheckFolder();

  // Worker thread.
  void OnListChanged(size_t index) override;
  void OnStatusText(const char* text) override { m_frame.OnStatusText(text); }
  void OnDeliveryStarted() override { m_frame.OnDeliveryStarted(); }
  void OnDeliveryFinished() override { m_frame.OnDeliveryFinished(); }

 private:
  const CEngine& m_engine;
  CConsoleFrame& m_frame;
  std::mutex m_lock;  // the delivery's threads call at once
  bool m_told = false;  // of a missing marker
};
