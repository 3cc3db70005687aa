#include "send/posix/SendFolder.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

namespace send_test {

namespace {

constexpr int kRunLimitMs = 40000;
constexpr uid_t kNobody = 65534;

}  // namespace

const std::string kSettingsFile =
    "<?xml version=\"1.0\" encoding=\"Windows-1251\"?>\r\n<root><BAUDRATE>9600</BAUDRATE>"
    "<PORT>7</PORT><CHECK>1</CHECK><TIMEOUT>30</TIMEOUT><TIMEOUT2>60</TIMEOUT2></root>\r\n";

const std::string kSentUtf8 = "\xD0\x9E\xD1\x82\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD0\xBB\xD0\xB5\xD0\xBD";
const std::string kAcceptedUtf8 = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xBD\xD1\x8F\xD1\x82";
const std::string kPortErrorUtf8 =
    "\xD0\x9E\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0 \xD0\xBF\xD0\xBE\xD1\x80\xD1\x82\xD0\xB0";
const std::string kReadyLine = "\xD0\x93\xD0\xBE\xD1\x82\xD0\xBE\xD0\xB2\n";

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::vector<std::string> Args(const testing_support::SimProcess& sim, std::vector<std::string> more) {
  std::vector<std::string> args = {"--device", sim.LinkPath(), "--pause", "0"};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

SendFolder::SendFolder() {
  m_program = m_dir.File("varnek-send");
  fs::copy_file(VARNEK_SEND_PROGRAM, m_program);
  fs::permissions(m_program, fs::perms::owner_all);
  // Made here: the folder may be read-only when the program runs.
  WriteAll(File("stdout.txt"), "");
  WriteAll(File("stderr.txt"), "");
}

void SendFolder::MakeReadOnly(const testing_support::SimProcess& sim) {
  using P = fs::perms;
  constexpr P kReadAndRun = P::owner_all | P::group_read | P::group_exec | P::others_read | P::others_exec;
  constexpr P kReadAndWrite = P::owner_read | P::owner_write | P::group_read | P::group_write |
                              P::others_read | P::others_write;
  fs::permissions(m_program, kReadAndRun);
  fs::permissions(fs::path(sim.LinkPath()).parent_path(), kReadAndRun);
  fs::permissions(fs::canonical(sim.LinkPath()), kReadAndWrite);
  fs::permissions(m_dir.Path(), kReadAndRun & ~P::owner_write);
  m_asNobody = geteuid() == 0;
}

RunResult SendFolder::Run(const std::vector<std::string>& args,
                          const std::vector<SignalStep>& signals) const {
  return Wait(Start(args), signals);
}

int SendFolder::Start(const std::vector<std::string>& args) const {
  const pid_t pid = fork();
  if (pid == 0) Exec(args);
  return pid;
}

RunResult SendFolder::Wait(int pid, const std::vector<SignalStep>& signals) const {
  const std::string errPath = File("stderr.txt");
  size_t next = 0;
  int status = 0;
  for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; waited += 10) {
    if (waited > kRunLimitMs) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      ADD_FAILURE() << "varnek-send did not end";
      break;
    }
    if (next < signals.size() && signals[next].when(ReadAll(errPath))) kill(pid, signals[next++].signal);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  RunResult result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = ReadAll(File("stdout.txt"));
  result.err = ReadAll(errPath);
  return result;
}

void SendFolder::Exec(const std::vector<std::string>& args) const {
  std::vector<std::string> copies = args;
  std::vector<char*> argv = {const_cast<char*>(m_program.c_str())};
  for (std::string& arg : copies) argv.push_back(&arg[0]);
  argv.push_back(nullptr);
  if (!freopen(File("stdout.txt").c_str(), "w", stdout) ||
      !freopen(File("stderr.txt").c_str(), "w", stderr)) {
    _exit(126);
  }
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"}) unsetenv(name);
  setenv("LANG", "C.UTF-8", 1);
  for (const auto& variable : m_environment) setenv(variable.first.c_str(), variable.second.c_str(), 1);
  if (m_asNobody && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
    _exit(125);
  }
  execv(argv[0], argv.data());
  _exit(127);
}

std::string SendFolder::Log(const std::string& name) const {
  std::string all;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(File("logs"), ignored)) {
    if (entry.path().extension() == "." + name) all += ReadAll(entry.path().string());
  }
  return all;
}

SettingsFile::SettingsFile(const SendFolder& folder, const std::string& bytes)
    : m_path(folder.File("varnek-send.xml")), m_bytes(bytes) {
  WriteAll(m_path, bytes);
  m_time = fs::file_time_type::clock::now() - std::chrono::hours(48);
  fs::last_write_time(m_path, m_time);
}

bool SettingsFile::Unchanged() const {
  return ReadAll(m_path) == m_bytes && fs::last_write_time(m_path) == m_time;
}

}  // namespace send_test
