#pragma once
// The operator's interrupts (Ctrl-C) of a console tool, counted. The handler
// does nothing but count: a tool polls the count from an ordinary thread and
// acts there, since hardly anything may run inside a signal handler.

namespace platform {

// From this call on Ctrl-C no longer ends the process: the first two are
// counted, a third ends the process at once as an interrupt does by default
// (for an operator whose shutdown is stuck).
void CatchInterrupts();

// Interrupts so far; any thread may ask.
int InterruptCount();

}  // namespace platform
