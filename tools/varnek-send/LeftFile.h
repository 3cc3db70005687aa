#pragma once
// --left FILE: the numbers a run did not finish, written where the operator
// asked, for the next run's --list.
#include <string>

// Writes contents to the file named as given on the command line (UTF-8),
// in place of any file there, in one step: a failure leaves the old file as
// it was. False when it cannot be written.
bool WriteLeftFile(const std::string& name, const std::string& contents);
