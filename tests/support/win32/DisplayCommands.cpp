#include "support/win32/DisplayCommands.h"

#include <atomic>
#include <filesystem>
#include <system_error>

namespace testing_support {

CDisplayCommands::CDisplayCommands(const std::vector<std::string>& steps) : m_steps(steps.size()) {
  static std::atomic<int> counter{0};
  m_unixFolder = "/tmp/varnek-display-" + std::to_string(GetCurrentProcessId()) + "-" +
                 std::to_string(GetTickCount()) + "-" + std::to_string(counter++);
  m_localFolder = L"Z:";
  for (char c : m_unixFolder) m_localFolder += c == '/' ? L'\\' : static_cast<wchar_t>(c);
  if (!CreateDirectoryW(m_localFolder.c_str(), nullptr)) return;
  // Each step's file is written once the program has had time to follow it,
  // and the next step waits a little, so that the state after a step can be
  // read before the next one changes it. No quotes or backslashes inside:
  // the command line splits into sh, -c and the script.
  std::string script;
  for (size_t i = 0; i < steps.size(); ++i) {
    script += steps[i] + "; sleep 0.4; : >" + m_unixFolder + "/" +
              std::to_string(i) + "; sleep 0.2; ";
  }
  std::string command = "/bin/sh -c \"" + script + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  m_started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &info) != FALSE;
  // The handles of a Linux process are not ours to close (see SimProcess).
}

CDisplayCommands::~CDisplayCommands() {
  std::error_code ignored;
  std::filesystem::remove_all(m_localFolder, ignored);
}

size_t CDisplayCommands::StepsDone() const {
  size_t done = 0;
  while (done < m_steps &&
         GetFileAttributesW((m_localFolder + L"\\" + std::to_wstring(done)).c_str()) !=
             INVALID_FILE_ATTRIBUTES)
    ++done;
  return done;
}

std::string MouseMoveTo(POINT screen) {
  return "mousemove " + std::to_string(screen.x) + " " + std::to_string(screen.y) + " ";
}

}  // namespace testing_support
