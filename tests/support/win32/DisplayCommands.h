#pragma once
// Linux commands on the X display that Wine draws on (Xvfb in the tests),
// started from inside Wine: xdotool moves the X pointer and presses keys and
// buttons as a person does, so the program gets its input the way it gets a
// user's; imagemagick's import takes the screen as the X server shows it.
#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

class CDisplayCommands {
 public:
  // Runs the shell commands in turn, with a pause after each, and returns at
  // once: "xdotool mousemove 10 20 click 1", "xdotool key Escape".
  explicit CDisplayCommands(const std::vector<std::string>& steps);
  ~CDisplayCommands();
  CDisplayCommands(const CDisplayCommands&) = delete;
  CDisplayCommands& operator=(const CDisplayCommands&) = delete;

  bool Started() const { return m_started; }
  // How many steps have ended; Wine gives no handle of a Linux process to
  // wait for, so each step leaves a file behind.
  size_t StepsDone() const;
  bool Done() const { return StepsDone() == m_steps; }

 private:
  std::string m_unixFolder;
  std::wstring m_localFolder;
  size_t m_steps = 0;
  bool m_started = false;
};

// "mousemove X Y " for a point of the screen (Wine's screen is the X root).
std::string MouseMoveTo(POINT screen);

}  // namespace testing_support
