#include "platform/Interrupt.h"

#include <signal.h>

#include <atomic>

namespace platform {
namespace {

constexpr int kInterruptsCaught = 2;

// Lock-free, so that the handler may touch it.
std::atomic<int> g_interrupts{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free counter");

void SetAction(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
}

void OnInterrupt(int) {
  if (g_interrupts.fetch_add(1) + 1 <= kInterruptsCaught) return;
  // sigaction and raise are async-signal-safe.
  SetAction(SIG_DFL);
  raise(SIGINT);
}

}  // namespace

void CatchInterrupts() { SetAction(OnInterrupt); }

int InterruptCount() { return g_interrupts.load(); }

}  // namespace platform
