#pragma once
// How the delivery worker reports to the window. The operations run on the
// worker's thread; the window's implementation hands each one to its own
// thread and returns when it is done. A pool of modems calls them from one
// thread per modem, one call at a time: the engine holds a lock across each
// call and across every change of an item's state, so OnListChanged may read
// every item. StopDelivery's OnStatusText comes from the stopping thread,
// outside that lock.

class IMainFrame {
 public:
  virtual void OnListChanged() = 0;
  // text is valid only during the call
  virtual void OnStatusText(const char* text) = 0;
  virtual void OnDeliveryStarted() = 0;
  virtual void OnDeliveryFinished() = 0;

 protected:
  ~IMainFrame() = default;
};

// The one main window's interface, set when it is created; null before.
extern IMainFrame* g_pMainFrame;
