// varnek-send: the delivery of the Varnek window, from the command line.
#include <cstdio>
#include <string>

#include "platform/CommandLine.h"
#include "tools/varnek-send/SendJob.h"
#include "tools/varnek-send/SendOptions.h"
#include "tools/varnek-send/SendReport.h"

int main(int argc, char** argv) {
  platform::UseUtf8Console();
  CSendOptions options;
  std::string error;
  if (!options.Parse(platform::CommandLineUtf8(argc, argv), error)) {
    std::fprintf(stderr, "varnek-send: %s\n%s", error.c_str(), CSendOptions::UsageText());
    return send_report::kBadUsage;
  }
  if (options.m_help) {
    std::fputs(CSendOptions::UsageText(), stdout);
    return 0;
  }
  return CSendJob(options).Run();
}
