#pragma once
// The trace of the system: daily text files in the folder "logs" beside the
// program, one file per log name and day (2026_12_07.modem). Lines of all
// threads are serialised under one lock.
#include <map>
#include <mutex>
#include <string>

#include "platform/Clock.h"
#include "platform/Files.h"

class CLog {
 public:
  // Appends "<date> <time>,<ms> <source> [<code> ]<text>\r\n" to today's file
  // of logName; code 0 writes no code. A line that cannot be written is
  // dropped without notice.
  void Write(const char* logName, const char* source, int code, const char* text);
  // Closes every file, so that the next line of each name opens its file
  // anew (for tests that move the program folder).
  void Reset();

 private:
  void OpenLogFile(const std::string& logName, const platform::LocalTime& today);
  void CloseAllLogFiles();
  bool IsNewDay(const platform::LocalTime& now) const;

  std::mutex m_lock;
  std::map<std::string, platform::AppendFile> m_files;
  int m_year = 0;
  int m_month = 0;
  int m_day = 0;
  char m_prefix[100] = {};
};

// The one log writer, made at the first call (thread-safe) and never destroyed.
CLog& GetLog();
