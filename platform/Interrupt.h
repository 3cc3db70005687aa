#pragma once
// The requests to stop that a console tool receives, counted: Ctrl-C, the
// terminal hanging up, the system asking the process to end. The handlers do
// nothing but count and remember the first kind; the tool polls from an
// ordinary thread and acts there, since hardly anything may run inside a
// signal handler. None of them ends the process itself.

namespace platform {

enum class InterruptKind {
  None,
  Interrupt,  // Ctrl-C or Ctrl-Break (SIGINT)
  Hangup,     // the terminal or console window closed (SIGHUP)
  Terminate,  // a request to end: SIGTERM, logoff, system shutdown
};

// From this call on the requests above no longer end the process; every one
// is counted, however many come. POSIX: SIGINT, SIGHUP and SIGTERM, and output
// to a closed pipe fails instead of raising SIGPIPE. Windows: the console's
// Ctrl-C, Ctrl-Break and close events, and the end of the session (logoff or
// shutdown). Windows ends a process a few seconds after a close or the end of
// the session (about 5 s), whatever it does: these count as two at once, so
// that the tool does not wait out a pause, and the handler holds the process
// until the tool has ended it or Windows does.
void CatchInterrupts();

// Requests so far; any thread may ask.
int InterruptCount();

// The kind of the first request; None before any.
InterruptKind FirstInterrupt();

}  // namespace platform
