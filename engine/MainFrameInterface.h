#pragma once
// How the delivery reports to the window. The operations run on the
// delivery's threads (one per modem: several may call at once) and, for
// StopDelivery's status, on the thread that stops it. No engine lock is held
// during a call, so the window may hand each one to its own thread and wait
// there; it reads an item with CEngine::ItemSnapshot.
#include <cstddef>

class IMainFrame {
 public:
  // The state (or cause) of the item at index changed.
  virtual void OnListChanged(size_t index) = 0;
  // text is valid only during the call
  virtual void OnStatusText(const char* text) = 0;
  virtual void OnDeliveryStarted() = 0;
  virtual void OnDeliveryFinished() = 0;

 protected:
  ~IMainFrame() = default;
};

// The one main window's interface, set when it is created; null before.
extern IMainFrame* g_pMainFrame;
