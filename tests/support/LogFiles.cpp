#include "support/LogFiles.h"

#include <cstdio>

#include "platform/Clock.h"
#include "platform/Files.h"

namespace testing_support {

std::string ReadTodaysLog(const std::string& programFolder, const std::string& logName) {
  platform::LocalTime now = platform::Now();
  char name[64];
  std::snprintf(name, sizeof name, "%04d_%02d_%02d.%s", now.year, now.month, now.day,
                logName.c_str());
  std::string text;
  platform::ReadWholeFile(programFolder + platform::kPathSeparator + "logs" +
                              platform::kPathSeparator + name,
                          text);
  return text;
}

std::vector<std::string> LogTexts(const std::string& programFolder, const std::string& logName,
                                  const std::string& source) {
  std::vector<std::string> texts;
  std::string log = ReadTodaysLog(programFolder, logName);
  const std::string marker = " " + source + " ";
  size_t start = 0;
  while (start < log.size()) {
    size_t end = log.find("\r\n", start);
    if (end == std::string::npos) end = log.size();
    std::string line = log.substr(start, end - start);
    // "2026-12-07 14:05:09,042 " is 24 characters
    if (line.size() > 24 && line.compare(23, marker.size(), marker) == 0) {
      texts.push_back(line.substr(23 + marker.size()));
    }
    start = end + 2;
  }
  return texts;
}

}  // namespace testing_support
