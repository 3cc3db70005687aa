#include "platform/Interrupt.h"

#include <windows.h>

#include <atomic>

namespace platform {
namespace {

constexpr int kInterruptsCaught = 2;

std::atomic<int> g_interrupts{0};

// Runs on a thread of its own that the system makes for each event. FALSE
// passes the event on to the default handler, which ends the process.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  return g_interrupts.fetch_add(1) + 1 <= kInterruptsCaught ? TRUE : FALSE;
}

}  // namespace

void CatchInterrupts() { SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }

int InterruptCount() { return g_interrupts.load(); }

}  // namespace platform
