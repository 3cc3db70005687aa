#pragma once
// The command line of varnek-modem-sim.
#include <string>

#include "tools/modemsim/SimScript.h"

namespace modemsim {

class CSimOptions {
 public:
  // False with a message in error on a bad command line. --help sets m_help.
  bool Parse(int argc, char** argv, std::string& error);
  static const char* HelpText();

  bool m_help = false;
  std::string m_link;
  std::string m_record;
  std::string m_transcript;
  std::string m_stopFile;
  std::string m_readyFile;
  int m_maxSeconds = 600;
  int m_firstRef = 1;
  int m_dropMs = 300;
  bool m_silent = false;
  bool m_echo = true;
  int m_delayMs = 0;
  int m_splitBytes = 0;  // 0: every reply in one write
  int m_splitMs = 0;
  std::string m_unsolicited;        // before each final reply
  std::string m_unsolicitedInside;  // inside a "+CMGS:" reply, before its OK
  CSimScript m_script;

 private:
  bool SetOption(const std::string& name, const std::string& value, std::string& error);
  bool SetSplit(const std::string& value);
};

}  // namespace modemsim
