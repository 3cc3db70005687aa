#pragma once
// The message loop of one thread, with message filters (tried before a
// message is dispatched) and idle handlers (run when the queue runs empty).
// Filters and handlers are not owned; they may remove themselves while called.
#include <windows.h>

#include <functional>
#include <vector>

class CMessageFilter {
 public:
  virtual ~CMessageFilter() = default;
  // True: the message was consumed and is not dispatched.
  virtual bool PreTranslateMessage(MSG* message) = 0;
};

class CIdleHandler {
 public:
  virtual ~CIdleHandler() = default;
  // The return value is not used: every handler runs once per idle spell.
  virtual bool OnIdle() = 0;
};

class CMessageLoop {
 public:
  void AddMessageFilter(CMessageFilter* filter);
  void RemoveMessageFilter(CMessageFilter* filter);
  void AddIdleHandler(CIdleHandler* handler);
  void RemoveIdleHandler(CIdleHandler* handler);

  // Runs until WM_QUIT and gives its exit code (-1 when GetMessage fails).
  int Run();
  // The filters, last added first; true when one consumed the message.
  bool PreTranslateMessage(MSG* message);
  void OnIdle();

 private:
  // Messages that arrive constantly without changing any state worth an
  // idle pass (mouse moves, paints, the caret's timer).
  static bool IsIdleMessage(const MSG& message);

  std::vector<CMessageFilter*> m_filters;
  std::vector<CIdleHandler*> m_idleHandlers;
};

// Waits until ended() holds, asking it every sliceMs, while messages that
// other threads send to this thread's windows are handled (posted ones stay
// queued): a thread that reports to the windows with SendMessage can finish
// while this one waits for it.
void WaitLettingSentMessagesIn(const std::function<bool()>& ended, DWORD sliceMs);
