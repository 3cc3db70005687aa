#pragma once
// What varnek-send says of itself: the short usage after a bad command line
// and the whole help of --help.
#include <string>

// The usage lines and where to read more.
const char* UsageSynopsis();

// Every option, the settings file of this program (its full path), how COM
// numbers name devices here, every exit status and an example per common
// task.
std::string HelpText();
