// The simulator as a child process: fork and exec, stopped with SIGTERM.
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/SerialDevice.h"
#include "support/SimProcess.h"

namespace testing_support {

namespace {

constexpr int kStopLimitMs = 3000;

// Sends the child's output to a file, so that "ready" lines and complaints
// do not mix with the test's own output.
void RedirectOutput(const std::string& path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  dup2(fd, STDOUT_FILENO);
  dup2(fd, STDERR_FILENO);
  close(fd);
}

}  // namespace

bool SimProcess::MakeFolder() {
  const char* tmp = getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") +
                        "/varnek-sim-XXXXXX";
  if (mkdtemp(&pattern[0]) == nullptr) return false;
  m_unixFolder = pattern;
  m_localFolder = pattern;
  return true;
}

std::string SimProcess::LocalFile(const char* name) const { return m_localFolder + "/" + name; }

std::string SimProcess::LinkFor(int comNumber) const {
  return UnixFile(("com" + std::to_string(comNumber)).c_str());
}

bool SimProcess::Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  std::string program = VARNEK_SIM_PROGRAM;
  argv.push_back(&program[0]);
  std::vector<std::string> copies = args;
  for (std::string& arg : copies) argv.push_back(&arg[0]);
  argv.push_back(nullptr);
  std::string output = LocalFile("sim.out");
  long maxFd = sysconf(_SC_OPEN_MAX);
  pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    RedirectOutput(output);
    // An inherited port descriptor would keep the test's lock on it (and its
    // line) alive in the simulator after the test closed the port.
    for (long fd = 3; fd < maxFd && fd < 65536; ++fd) close(static_cast<int>(fd));
    execv(argv[0], argv.data());
    _exit(127);
  }
  m_process = pid;
  return true;
}

bool SimProcess::Running() {
  if (m_process == 0) return false;
  if (waitpid(static_cast<pid_t>(m_process), nullptr, WNOHANG) == 0) return true;
  m_process = 0;  // reaped: the number may belong to another process soon
  return false;
}

void SimProcess::Stop() {
  if (m_process == 0) return;  // reaped already
  pid_t pid = static_cast<pid_t>(m_process);
  kill(pid, SIGTERM);
  for (int waited = 0; waited < kStopLimitMs; waited += 5) {
    if (!Running()) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  m_process = 0;
}

void SimProcess::MapPort(bool mapped) {
  platform::MapComPort(m_comNumber, mapped ? m_link : std::string());
}

}  // namespace testing_support
