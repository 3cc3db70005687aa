#pragma once
// Tells the operator when the duplicate check is on but its markers cannot
// be written, which the engine keeps to itself (a number then goes out
// unprotected against a second send): once before the delivery when the
// marker folder refuses a file, and once at the first number sent whose
// marker is missing. It stands between the worker and the console frame and
// passes every call on.
#include <mutex>

#include "engine/Engine.h"
#include "engine/MainFrameInterface.h"
#include "tools/varnek-send/ConsoleFrame.h"

class CMarkerWatch final : public IMainFrame {
 public:
  CMarkerWatch(const CEngine& engine, CConsoleFrame& frame);

  // Before the delivery: tries a file in the marker folder (made when
  // missing, as the first marker would make it), when the check is on.
  void CheckFolder();

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
