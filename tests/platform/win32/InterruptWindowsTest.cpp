// The end of the session (logoff, shutdown) as Windows tells a console
// process that has user32 loaded: through its top-level windows. The window
// that hears it then holds the process for the rest of this test program.
#include <windows.h>

#include <cwchar>

#include <gtest/gtest.h>

#include "platform/Interrupt.h"

namespace {

// The session window of this process: Wine gives a process other top-level
// windows too (its input method's), and other test programs have their own
// session windows.
BOOL CALLBACK FindOwnWindow(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if (process != GetCurrentProcessId() || wcscmp(className, L"VarnekSessionEnd") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

HWND WaitForOwnWindow() {
  HWND window = nullptr;
  for (int waited = 0; window == nullptr && waited < 5000; waited += 10) {
    EnumWindows(FindOwnWindow, reinterpret_cast<LPARAM>(&window));
    if (window == nullptr) Sleep(10);
  }
  return window;
}

TEST(Interrupt, TheEndOfTheSessionCountsAsTwoTerminationRequests) {
  platform::CatchInterrupts();
  const HWND window = WaitForOwnWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, 0), TRUE) << "the session may end";
  EXPECT_EQ(platform::InterruptCount(), 0);
  PostMessageW(window, WM_ENDSESSION, TRUE, 0);
  for (int waited = 0; platform::InterruptCount() < 2 && waited < 5000; waited += 10) Sleep(10);
  EXPECT_EQ(platform::InterruptCount(), 2);
  EXPECT_EQ(platform::FirstInterrupt(), platform::InterruptKind::Terminate);
}

}  // namespace
