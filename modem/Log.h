#pragma once
// The trace of the system: daily text files in the folder "logs" beside the
// program, one file per log name and day (2026_12_07.modem). Lines of all
// threads are serialised under one lock.
//
// A line that cannot be written is dropped, but not unheard: the program
// learns once, at once, that the logs cannot be written (CheckWritable
// before the work begins, the failure listener for a loss later on).
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "platform/Clock.h"
#include "platform/Files.h"

class CLog {
 public:
  // Hears the logs folder (as the file functions take it) and the system's
  // reason (UTF-8) when a line is lost.
  using FailureListener = std::function<void(const std::string& folder, const std::string& reason)>;

  // Appends "<date> <time>,<ms> <source> [<code> ]<text>\r\n" to today's file
  // of logName; code 0 writes no code. A line that cannot be written is
  // dropped; the first one lost goes to the failure listener, unless a
  // failed CheckWritable told of it already.
  void Write(const char* logName, const char* source, int code, const char* text);
  // Whether the logs can be written: makes the folder when it is missing and
  // opens today's "engine" file. When not, reason gets the system's words
  // (or "the program's folder is not known"), and that counts as told: the
  // listener hears of no later loss. Any thread.
  bool CheckWritable(std::string& reason);
  // Called once, on the thread whose line was lost first (the delivery's as
  // well as the window's), outside the log's lock, so that it may write log
  // lines itself. An empty listener hears nothing. Any thread.
  void SetFailureListener(FailureListener listener);
  // Closes every file, so that the next line of each name opens its file
  // anew (for tests that move the program folder); a loss is told again.
  void Reset();

  // The folder of the files: "logs" in the program folder; "" when the
  // program folder is not known.
  static std::string Folder();

 private:
  bool WriteLine(const char* logName, const char* source, int code, const char* text,
                 std::string& reason);
  platform::AppendFile* FileOfToday(const std::string& logName, const platform::LocalTime& now,
                                    std::string& reason);
  static bool OpenLogFile(platform::AppendFile& file, const std::string& logName,
                          const platform::LocalTime& today, std::string& reason);
  void CloseAllLogFiles();
  bool IsNewDay(const platform::LocalTime& now) const;

  std::mutex m_lock;
  std::map<std::string, platform::AppendFile> m_files;
  int m_year = 0;
  int m_month = 0;
  int m_day = 0;
  char m_prefix[100] = {};
  FailureListener m_listener;
  bool m_failureTold = false;
};

// The one log writer, made at the first call (thread-safe) and never destroyed.
CLog& GetLog();
