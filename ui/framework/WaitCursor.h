#pragma once
// CWaitCursor: the wait cursor over a long piece of work on the window
// thread (the modem search), restored at the end. Between the steps of the
// work, KeepAlive paints what needs painting in this thread's windows, so
// that a window shows its changes (a refilled list) and is not taken for
// hung; the operator's input waits until the work is done.
#include <windows.h>

class CWaitCursor {
 public:
  CWaitCursor();
  ~CWaitCursor();
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;

  void KeepAlive();

 private:
  HCURSOR m_previous;
};
