#include "platform/CommandLine.h"

namespace platform {

std::vector<std::string> CommandLineUtf8(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::string PathFromUtf8(const std::string& path) { return path; }

std::string PathToUtf8(const std::string& path) { return path; }

void UseUtf8Console() {}

}  // namespace platform
