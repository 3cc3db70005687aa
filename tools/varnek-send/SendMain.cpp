// varnek-send: the delivery of the Varnek window, from the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/CommandLine.h"
#include "tools/varnek-send/SendHelp.h"
#include "tools/varnek-send/SendJob.h"
#include "tools/varnek-send/SendMessages.h"
#include "tools/varnek-send/SendOptions.h"
#include "tools/varnek-send/SendReport.h"

int main(int argc, char** argv) {
  platform::UseUtf8Console();
  const std::vector<std::string> args = platform::CommandLineUtf8(argc, argv);
  SetLanguage(CSendOptions::LanguageOf(args));
  CSendOptions options;
  std::string error;
  if (!options.Parse(args, error)) {
    std::fprintf(stderr, "varnek-send: %s\n%s%s\n", error.c_str(), UsageSynopsis(),
                 Say(Msg::HelpTellsMore).c_str());
    return send_report::kBadUsage;
  }
  if (options.m_help) {
    std::fputs(HelpText().c_str(), stdout);
    return 0;
  }
  return CSendJob(options).Run();
}
