#pragma once
// Varnek.exe run as a person runs it: a copy in a folder of its own, started
// as a child process and driven through its windows with real input
// (SendInput) and with messages; what it shows is read back across the
// process boundary.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

class CVarnekProcess {
 public:
  // Copies the program into folder (any name Windows allows), writes the
  // settings file beside it and starts it; Frame() is null when its window
  // did not appear.
  CVarnekProcess(const std::wstring& folder, const std::string& settingsXml);
  ~CVarnekProcess();
  CVarnekProcess(const CVarnekProcess&) = delete;
  CVarnekProcess& operator=(const CVarnekProcess&) = delete;

  HWND Frame() const { return m_frame; }
  // The exit code, or -1 when it has not ended within milliseconds.
  long WaitExit(DWORD milliseconds) const;

  // Windows of the frame found by class (and, for the list view, style).
  HWND MenuBar() const;
  HWND ListView() const;
  HWND Editor() const;
  HWND StatusBar() const;

  HWND ToolBar() const;

  // What the windows show, in 1251.
  // Rows of the phone list, or of another list view of the program.
  int RowCount(HWND list = nullptr) const;
  std::string RowText(int row, int column, HWND list = nullptr) const;
  // The status bar: its first part (0) the delivery's state, its second (1) the tally.
  std::string StatusText(int part = 0) const;
  // The lower pane's title ("Текст - ...").
  std::string TextPaneTitle() const;
  // The selected entry of a combo box of the program.
  std::string ComboText(HWND combo) const;
  bool ToolBarButtonEnabled(UINT command) const;

  // A dialog of class #32770 owned by the frame, with the given caption (any
  // when empty); null after 5 s.
  HWND WaitForDialog(const std::string& caption1251 = "") const;

  // Sends message to a window of the program with lParam pointing to a
  // buffer of bytes in the program's memory, read back into out afterwards.
  LRESULT Call(HWND hWnd, UINT message, WPARAM wParam, void* out, size_t bytes) const;

 private:

  PROCESS_INFORMATION m_info{};
  bool m_started = false;
  HWND m_frame = nullptr;
};

// True once condition holds, polling for up to milliseconds.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds);

// A window's text, in 1251, asked for with WM_GETTEXT, which the system
// carries across processes (GetWindowText would not ask a control there).
std::string WindowText(HWND hWnd);

// Real input, as from the keyboard and the mouse.
void ClickAt(POINT screen);
// Commands on the X display (xdotool, import), one after another; false
// when they did not end within 10 s.
bool RunOnDisplay(const std::vector<std::string>& commands);
void ClickCentre(HWND hWnd);
// The popup menu shown on the screen, or null; hidden menu windows of
// earlier menus are passed over.
HWND ShownPopupMenu();
// Clicks at the point until a popup menu shows (a click can be lost while
// the window is still taking the foreground); the menu, or null.
HWND ClickForMenu(POINT screen);
void PressKey(WORD virtualKey);
// The characters as typing makes them (WM_CHAR): Wine's SendInput passes
// no KEYEVENTF_UNICODE characters on.
void TypeText(HWND hWnd, const std::wstring& text);
// The top-level window gets the keyboard.
void Activate(HWND hWnd);

// The screen rectangle, copied to screenshots/<name>.png in the working
// folder.
bool SaveScreen(const RECT& rect, const char* name);

}  // namespace e2e
