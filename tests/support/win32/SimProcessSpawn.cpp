// Under Wine the simulator is a Linux program started by its unix path
// (Wine runs such a command line natively). Its pty is linked as the prefix's
// dosdevices/com<n>, and its files are reached through the Z: drive, which
// maps the unix root.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "support/SimProcess.h"

namespace testing_support {

namespace {

constexpr int kStopLimitMs = 3000;

std::string UnixToLocal(const std::string& unixPath) {
  std::string local = "Z:" + unixPath;
  for (char& c : local) {
    if (c == '/') c = '\\';
  }
  return local;
}

bool Exists(const std::string& localPath) {
  return GetFileAttributesA(localPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Quotes one argument so that the usual command-line splitting gives it back
// unchanged: backslashes count only before a double quote.
std::string QuoteArgument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

}  // namespace

bool SimProcess::MakeFolder() {
  static std::atomic<int> counter{0};
  m_unixFolder = "/tmp/varnek-sim-" + std::to_string(GetCurrentProcessId()) + "-" +
                 std::to_string(GetTickCount()) + "-" + std::to_string(counter++);
  m_localFolder = UnixToLocal(m_unixFolder);
  return CreateDirectoryA(m_localFolder.c_str(), nullptr) != 0;
}

std::string SimProcess::LocalFile(const char* name) const {
  return m_localFolder + "\\" + name;
}

std::string SimProcess::LinkFor(int comNumber) const {
  char prefix[1024] = {0};
  DWORD n = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  if (n == 0 || n >= sizeof prefix) return "";
  return std::string(prefix) + "/dosdevices/com" + std::to_string(comNumber);
}

// The simulator's "ready" line goes to a file, not into the test's output;
// Wine passes the standard output handle on to the Linux program (its
// standard error stays the test's, so complaints remain visible). The
// arguments are UTF-8, as the simulator reads them natively: the command
// line goes over as UTF-16, which Wine gives the Linux program as UTF-8
// (the ANSI one would be read in the system's code page).
bool SimProcess::Spawn(const std::vector<std::string>& args) {
  std::string command = VARNEK_SIM_PROGRAM;
  for (const std::string& arg : args) command += " " + QuoteArgument(arg);
  const int length = MultiByteToWideChar(CP_UTF8, 0, command.c_str(), -1, nullptr, 0);
  if (length <= 0) return false;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, command.c_str(), -1, &wide[0], length);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE output = CreateFileA(LocalFile("sim.out").c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = output;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info{};
  BOOL created = CreateProcessW(nullptr, &wide[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                &startup, &info);
  if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
  if (!created) return false;
  m_process = reinterpret_cast<intptr_t>(info.hProcess);
  m_thread = reinterpret_cast<intptr_t>(info.hThread);
  return true;
}

// Wine gives no process handle for a Linux program (null, or one that cannot
// be waited for): then it counts as running until the waits end.
bool SimProcess::Running() {
  HANDLE process = reinterpret_cast<HANDLE>(m_process);
  return process == nullptr || WaitForSingleObject(process, 0) != WAIT_OBJECT_0;
}

// Wine cannot signal a Linux process; the simulator watches for the stop file
// and removes its ready file last, after the link. (The link itself cannot be
// watched from here: a path ending in "com7" names the DOS device COM7, which
// always seems to exist.)
void SimProcess::Stop() {
  std::ofstream(LocalFile("stop")).put('\n');
  std::string ready = LocalFile("ready");
  for (int waited = 0; waited < kStopLimitMs && Exists(ready); waited += 5) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  // For a Linux program Wine gives no process handle, and the thread handle
  // beside it is no handle of ours: closing it would close whatever handle
  // has that value (seen: the process's HKEY_LOCAL_MACHINE).
  if (m_process != 0) {
    CloseHandle(reinterpret_cast<HANDLE>(m_process));
    if (m_thread != 0) CloseHandle(reinterpret_cast<HANDLE>(m_thread));
  }
  m_process = 0;
  m_thread = 0;
}

// The dosdevices link is the mapping already: "\\.\COM<n>" opens it.
void SimProcess::MapPort(bool) {}

}  // namespace testing_support
