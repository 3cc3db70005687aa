#pragma once
// Reading the log files that the code under test wrote into a program folder.
#include <string>
#include <vector>

namespace testing_support {

// Today's file of logName in <folder>/logs; "" when there is none.
std::string ReadTodaysLog(const std::string& programFolder, const std::string& logName);

// The texts of the lines of that file whose source is `source` (the part
// after "<date> <time>,<ms> <source> "), in order.
std::vector<std::string> LogTexts(const std::string& programFolder, const std::string& logName,
                                  const std::string& source);

}  // namespace testing_support
