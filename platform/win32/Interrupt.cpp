#include "platform/Interrupt.h"

#include <windows.h>

#include <atomic>

namespace platform {
namespace {

struct ConsoleEvent {
  DWORD event;
  InterruptKind kind;
};

constexpr ConsoleEvent kConsoleEvents[] = {
    {CTRL_C_EVENT, InterruptKind::Interrupt},      {CTRL_BREAK_EVENT, InterruptKind::Interrupt},
    {CTRL_CLOSE_EVENT, InterruptKind::Hangup},     {CTRL_LOGOFF_EVENT, InterruptKind::Terminate},
    {CTRL_SHUTDOWN_EVENT, InterruptKind::Terminate},
};

constexpr wchar_t kSessionWindowClass[] = L"VarnekSessionEnd";

std::atomic<int> g_interrupts{0};
std::atomic<int> g_firstKind{static_cast<int>(InterruptKind::None)};

// Everything but Ctrl-C comes with Windows' deadline.
bool HasDeadline(InterruptKind kind) { return kind != InterruptKind::Interrupt; }

void Count(InterruptKind kind) {
  int none = static_cast<int>(InterruptKind::None);
  g_firstKind.compare_exchange_strong(none, static_cast<int>(kind));
  g_interrupts.fetch_add(HasDeadline(kind) ? 2 : 1);
}

// Windows ends the process as soon as the handler of a deadline event
// returns: it waits instead, while the tool finishes, until the process
// exits or Windows' limit is up.
void HoldProcess() { Sleep(INFINITE); }

// Runs on a thread that the system makes for each event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  for (const ConsoleEvent& known : kConsoleEvents) {
    if (known.event != event) continue;
    Count(known.kind);
    if (HasDeadline(known.kind)) HoldProcess();
    return TRUE;
  }
  return FALSE;
}

LRESULT CALLBACK OnSessionMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_QUERYENDSESSION) return TRUE;
  if (message == WM_ENDSESSION && wParam != 0) {
    Count(InterruptKind::Terminate);
    HoldProcess();
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// A process that has user32 loaded (shell32 and ole32 load it) is told of a
// logoff or shutdown through its top-level windows, not the console handler:
// a hidden one listens on a thread of its own. A message-only window would
// not be told.
DWORD WINAPI WatchSession(void*) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = OnSessionMessage;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kSessionWindowClass;
  if (RegisterClassW(&windowClass) == 0) return 0;
  HWND window = CreateWindowExW(0, kSessionWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) return 0;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

}  // namespace

void CatchInterrupts() {
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  HANDLE watcher = CreateThread(nullptr, 0, WatchSession, nullptr, 0, nullptr);
  if (watcher != nullptr) CloseHandle(watcher);
}

int InterruptCount() { return g_interrupts.load(); }

InterruptKind FirstInterrupt() { return static_cast<InterruptKind>(g_firstKind.load()); }

}  // namespace platform
