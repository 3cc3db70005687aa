// varnek-modem-sim: a GSM modem in PDU mode on a pty, for tests and for
// trying the dialogue by hand (see --help).
#include <unistd.h>

#include <cstdio>
#include <string>

#include "tools/modemsim/ModemSim.h"
#include "tools/modemsim/SimStop.h"

namespace {

// Written whole under another name and renamed, so a reader never sees half.
void WriteReadyFile(const std::string& path, const std::string& text) {
  if (path.empty()) return;
  std::string temporary = path + ".tmp";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) return;
  std::fputs(text.c_str(), file);
  std::fclose(file);
  std::rename(temporary.c_str(), path.c_str());
}

int Serve(const modemsim::CSimOptions& options) {
  modemsim::CSimTranscript transcript;
  modemsim::CSubmissionRecord record;
  if (!transcript.Open(options.m_transcript) || !record.Open(options.m_record)) {
    std::fprintf(stderr, "varnek-modem-sim: cannot open the record or transcript file\n");
    return 1;
  }
  modemsim::CSimLine line(options.m_link, transcript);
  line.FixSpeed(options.m_fixedSpeed);
  if (!line.Open()) {
    std::fprintf(stderr, "varnek-modem-sim: cannot make a pty linked at %s\n", options.m_link.c_str());
    return 1;
  }
  const modemsim::CSimStop stop(options.m_stopFile, options.m_maxSeconds);
  modemsim::CModemSim modem(options, line, record, stop);
  std::string ready = "ready " + options.m_link + "\n";
  WriteReadyFile(options.m_readyFile, ready);
  std::fputs(ready.c_str(), stdout);
  std::fflush(stdout);

  while (!stop.Requested()) {
    std::string bytes = line.Read(20);
    if (!bytes.empty()) modem.Feed(bytes);
    modem.Tick();
  }
  line.Close();
  // Gone last: a caller that cannot wait for the process waits for this.
  if (!options.m_readyFile.empty()) unlink(options.m_readyFile.c_str());
  transcript.Event("stopped");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  modemsim::CSimOptions options;
  std::string error;
  if (!options.Parse(argc, argv, error)) {
    std::fprintf(stderr, "varnek-modem-sim: %s\n%s", error.c_str(),
                 modemsim::CSimOptions::HelpText().c_str());
    return 2;
  }
  if (options.m_help) {
    std::fputs(modemsim::CSimOptions::HelpText().c_str(), stdout);
    return 0;
  }
  modemsim::CatchStopSignals();
  return Serve(options);
}
