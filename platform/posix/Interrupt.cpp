#include "platform/Interrupt.h"

#include <signal.h>

#include <atomic>

namespace platform {
namespace {

struct CaughtSignal {
  int signal;
  InterruptKind kind;
};

constexpr CaughtSignal kCaughtSignals[] = {
    {SIGINT, InterruptKind::Interrupt},
    {SIGHUP, InterruptKind::Hangup},
    {SIGTERM, InterruptKind::Terminate},
};

// Lock-free, so that the handler may touch them.
std::atomic<int> g_interrupts{0};
std::atomic<int> g_firstKind{static_cast<int>(InterruptKind::None)};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs lock-free counters");

void OnSignal(int signal) {
  for (const CaughtSignal& caught : kCaughtSignals) {
    if (caught.signal != signal) continue;
    int none = static_cast<int>(InterruptKind::None);
    g_firstKind.compare_exchange_strong(none, static_cast<int>(caught.kind));
  }
  g_interrupts.fetch_add(1);
}

void SetAction(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(signal, &action, nullptr);
}

}  // namespace

void CatchInterrupts() {
  for (const CaughtSignal& caught : kCaughtSignals) SetAction(caught.signal, OnSignal);
  // A reader that went away with the terminal (a pipe to tee, say) would
  // otherwise end the process at its next progress line, in the middle of a
  // message.
  SetAction(SIGPIPE, SIG_IGN);
}

int InterruptCount() { return g_interrupts.load(); }

InterruptKind FirstInterrupt() { return static_cast<InterruptKind>(g_firstKind.load()); }

}  // namespace platform
