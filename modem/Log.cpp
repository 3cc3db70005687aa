#include "modem/Log.h"

#include <cstdio>
#include <cstring>

namespace {

// The file CheckWritable tries: the one the modem operations write first.
constexpr char kCheckedLog[] = "engine";

}  // namespace

CLog& GetLog() {
  // Never destroyed: the worker may still write while the process exits.
  static CLog* log = new CLog;
  return *log;
}

void CLog::Write(const char* logName, const char* source, int code, const char* text) {
  FailureListener listener;
  std::string folder;
  std::string reason;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    try {
      if (!WriteLine(logName, source, code, text, reason) && !m_failureTold) {
        m_failureTold = true;
        listener = m_listener;
        folder = Folder();
      }
    } catch (...) {
      // A line lost to an exhausted heap loses nothing else.
    }
  }
  if (listener) listener(folder, reason);
}

bool CLog::CheckWritable(std::string& reason) {
  std::lock_guard<std::mutex> guard(m_lock);
  reason.clear();
  if (FileOfToday(kCheckedLog, platform::Now(), reason) != nullptr) return true;
  m_failureTold = true;
  return false;
}

void CLog::SetFailureListener(FailureListener listener) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_listener = std::move(listener);
}

void CLog::Reset() {
  std::lock_guard<std::mutex> guard(m_lock);
  CloseAllLogFiles();
  m_year = m_month = m_day = 0;
  m_failureTold = false;
}

std::string CLog::Folder() {
  const std::string program = platform::ProgramFolder();
  if (program.empty()) return std::string();
  return program + platform::kPathSeparator + "logs";
}

// One write for the whole line: a full disk leaves no line cut in half.
bool CLog::WriteLine(const char* logName, const char* source, int code, const char* text,
                     std::string& reason) {
  const platform::LocalTime now = platform::Now();
  platform::AppendFile* file = FileOfToday(logName, now, reason);
  if (file == nullptr) return false;
  // snprintf cuts a prefix that would not fit the buffer; a cut source
  // loses its tail, never overflows.
  int length = std::snprintf(m_prefix, sizeof m_prefix, "%04d-%02d-%02d %02d:%02d:%02d,%03d %s ",
                             now.year, now.month, now.day, now.hour, now.minute, now.second,
                             now.millisecond, source);
  if (length >= 0 && code != 0 && static_cast<size_t>(length) < sizeof m_prefix) {
    std::snprintf(m_prefix + length, sizeof m_prefix - length, "%d ", code);
  }
  const std::string line = std::string(m_prefix) + text + "\r\n";
  if (file->Write(line.data(), line.size())) return true;
  reason = file->FailureReason();
  file->Close();  // the next line opens it anew: the disk or the share may be back
  return false;
}

platform::AppendFile* CLog::FileOfToday(const std::string& logName,
                                        const platform::LocalTime& now, std::string& reason) {
  if (IsNewDay(now)) {
    CloseAllLogFiles();
    m_year = now.year;
    m_month = now.month;
    m_day = now.day;
  }
  platform::AppendFile& file = m_files[logName];
  if (!file.IsOpen() && !OpenLogFile(file, logName, now, reason)) return nullptr;
  return &file;
}

// The whole date is compared: a program that stays silent for a month must
// not go on writing into last month's file of the same day.
bool CLog::IsNewDay(const platform::LocalTime& now) const {
  return now.day != m_day || now.month != m_month || now.year != m_year;
}

// No path length is refused here: the system says what it cannot hold.
bool CLog::OpenLogFile(platform::AppendFile& file, const std::string& logName,
                       const platform::LocalTime& today, std::string& reason) {
  const std::string folder = Folder();
  if (folder.empty()) {
    reason = "the program's folder is not known";
    return false;
  }
  if (!platform::EnsureDir(folder, reason)) return false;
  char date[40];
  std::snprintf(date, sizeof date, "%04d_%02d_%02d.", today.year, today.month, today.day);
  if (file.Open(folder + platform::kPathSeparator + date + logName)) return true;
  reason = file.FailureReason();
  return false;
}

void CLog::CloseAllLogFiles() { m_files.clear(); }
