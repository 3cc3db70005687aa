#pragma once
// varnek-send as the operator runs it: a child process in a program folder
// of its own, against the modem simulator. Shared by the end-to-end tests.
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/SimProcess.h"
#include "support/TempDir.h"

namespace send_test {

namespace fs = std::filesystem;

constexpr int kSimPort = 41;

std::string ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::string& bytes);
// PDU hex may come in either case.
std::string Upper(std::string text);
bool Contains(const std::string& text, const std::string& part);

struct RunResult {
  int status = -1;  // exit code, or 128 + the signal that ended it
  std::string out;
  std::string err;
};

// A signal for the program, sent once `when`, asked about stderr as it
// grows, first says yes; the steps go in order.
struct SignalStep {
  int signal;
  std::function<bool(const std::string& err)> when;
};

// A program folder with its own copy of varnek-send, so that its settings
// file, "logs" and "PHONES" land there.
class SendFolder {
 public:
  SendFolder();

  std::string File(const std::string& name) const { return m_dir.File(name); }

  // Nothing may be made in the folder any more. root may write anywhere, so
  // the program then runs as nobody, which must reach the simulator's pty.
  void MakeReadOnly(const testing_support::SimProcess& sim);

  // The program runs in the C locale (English) unless a test sets its
  // language here, as the operator's shell would.
  void SetEnvironment(const std::string& name, const std::string& value) {
    m_environment.emplace_back(name, value);
  }

  // Runs the program to its end (a failure after 40 s).
  RunResult Run(const std::vector<std::string>& args, const std::vector<SignalStep>& signals = {}) const;
  // The same in two steps, so that several programs run at once: Start
  // gives the process, Wait its end.
  int Start(const std::vector<std::string>& args) const;
  RunResult Wait(int pid, const std::vector<SignalStep>& signals = {}) const;

  // Every log file of that name ("mess", "modem", "engine") in logs/, together.
  std::string Log(const std::string& name) const;
  std::string MessLog() const { return Log("mess"); }

 private:
  [[noreturn]] void Exec(const std::vector<std::string>& args) const;

  testing_support::TempDir m_dir;
  std::string m_program;
  bool m_asNobody = false;
  std::vector<std::pair<std::string, std::string>> m_environment;
};

// The settings file as the window would have written it: port 7, check on,
// pauses of 30 to 60 s; runs override port and pauses, the check is the
// file's.
extern const std::string kSettingsFile;

// A settings file in the folder, dated two days back, so that any rewrite
// shows, even one with the same bytes.
class SettingsFile {
 public:
  SettingsFile(const SendFolder& folder, const std::string& bytes);
  bool Unchanged() const;

 private:
  std::string m_path;
  std::string m_bytes;
  fs::file_time_type m_time;
};

// "Привет" in UTF-8, and in UCS2 as the user data of its PDU ends.
constexpr char kPrivet[] = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
constexpr char kPrivetUcs2[] = "041F04400438043204350442";

// State texts and the worker's last status line, UTF-8.
extern const std::string kSentUtf8;       // Отправлен
extern const std::string kAcceptedUtf8;   // Принят
extern const std::string kPortErrorUtf8;  // Ошибка порта
extern const std::string kReadyLine;      // Готов

// The simulator as the port, no pause, then more.
std::vector<std::string> Args(const testing_support::SimProcess& sim, std::vector<std::string> more);

}  // namespace send_test
