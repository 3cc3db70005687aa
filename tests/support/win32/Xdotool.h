#pragma once
// Real pointer and key events for the window tests: xdotool on the X display
// that Wine draws on (Xvfb in the tests), started as a Linux program from
// inside Wine. The X server moves its pointer and presses its buttons as for
// a person, and the program gets the events the way it gets a user's.
#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

class CXdotool {
 public:
  // Runs "xdotool <step>" for each step in turn, with a pause after each,
  // and returns at once. xdotool chains its commands: "mousemove 10 20 click 1".
  explicit CXdotool(const std::vector<std::string>& steps);
  ~CXdotool();
  CXdotool(const CXdotool&) = delete;
  CXdotool& operator=(const CXdotool&) = delete;

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
