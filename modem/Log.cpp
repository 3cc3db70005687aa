#include "modem/Log.h"

#include <cstdio>
#include <cstring>

namespace {

// Longest log file path: the platform's path limit.
constexpr size_t kMaxPath = 260;

}  // namespace

CLog& GetLog() {
  // Never destroyed: the worker may still write while the process exits.
  static CLog* log = new CLog;
  return *log;
}

void CLog::Write(const char* logName, const char* source, int code, const char* text) {
  std::lock_guard<std::mutex> guard(m_lock);
  try {
    const platform::LocalTime now = platform::Now();
    if (IsNewDay(now)) {
      CloseAllLogFiles();
      m_year = now.year;
      m_month = now.month;
      m_day = now.day;
    }
    platform::AppendFile& file = m_files[logName];
    if (!file.IsOpen()) OpenLogFile(logName, now);
    if (!file.IsOpen()) return;

    // snprintf cuts a prefix that would not fit the buffer; a cut source
    // loses its tail, never overflows.
    int length = std::snprintf(m_prefix, sizeof m_prefix, "%04d-%02d-%02d %02d:%02d:%02d,%03d %s ",
                               now.year, now.month, now.day, now.hour, now.minute, now.second,
                               now.millisecond, source);
    if (length >= 0 && code != 0 && static_cast<size_t>(length) < sizeof m_prefix) {
      std::snprintf(m_prefix + length, sizeof m_prefix - length, "%d ", code);
    }
    file.Write(m_prefix, std::strlen(m_prefix));
    file.Write(text, std::strlen(text));
    file.Write("\r\n", 2);
  } catch (...) {
    // A line lost to an exhausted heap loses nothing else.
  }
}

void CLog::Reset() {
  std::lock_guard<std::mutex> guard(m_lock);
  CloseAllLogFiles();
  m_year = m_month = m_day = 0;
}

// The whole date is compared: a program that stays silent for a month must
// not go on writing into last month's file of the same day.
bool CLog::IsNewDay(const platform::LocalTime& now) const {
  return now.day != m_day || now.month != m_month || now.year != m_year;
}

void CLog::OpenLogFile(const std::string& logName, const platform::LocalTime& today) {
  std::string folder = platform::ProgramFolder();
  if (folder.empty()) return;
  folder += platform::kPathSeparator;
  folder += "logs";
  platform::CreateDir(folder);  // an existing folder is fine

  char name[kMaxPath];
  int length = std::snprintf(name, sizeof name, "%c%04d_%02d_%02d.%s", platform::kPathSeparator,
                             today.year, today.month, today.day, logName.c_str());
  std::string path = folder + name;
  // A path beyond the platform's limit is refused, never cut: a cut name
  // would write into some other file.
  if (length < 0 || static_cast<size_t>(length) >= sizeof name || path.size() >= kMaxPath) return;
  m_files[logName].Open(path);
}

void CLog::CloseAllLogFiles() { m_files.clear(); }
