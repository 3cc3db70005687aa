#pragma once
// The command line of a console tool as UTF-8 texts, and a console that shows
// UTF-8 output.
#include <string>
#include <vector>

namespace platform {

// Every argument, element 0 being the program. POSIX: argv as it is (the
// terminal's encoding, UTF-8). Windows: the wide command line converted to
// UTF-8, so that no character is lost to the ANSI code page; argc and argv
// serve only when the wide line cannot be had.
std::vector<std::string> CommandLineUtf8(int argc, char** argv);

// A path given on the command line (UTF-8) as the file functions of this
// platform take it: POSIX as it is; Windows in code page 1251 as
// platform/win32/WidePath.h makes it (a path 1251 cannot write still leads
// to its file).
std::string PathFromUtf8(const std::string& path);
// The other way, for messages that name a path.
std::string PathToUtf8(const std::string& path);

// Windows: the console shows the UTF-8 bytes written to it as text. POSIX:
// nothing to do.
void UseUtf8Console();

}  // namespace platform
