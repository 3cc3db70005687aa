#pragma once
// The command line of varnek-modem-sim: the modem's habits, one option each,
// and named profiles that switch on the habits of a family of devices.
#include <map>
#include <string>
#include <vector>

#include "tools/modemsim/MessagingOptions.h"
#include "tools/modemsim/SimCmgsForm.h"
#include "tools/modemsim/SimScript.h"

namespace modemsim {

class CSimOptions {
 public:
  // False with a message in error on a bad command line. --help sets m_help.
  bool Parse(int argc, char** argv, std::string& error);
  static std::string HelpText();

  bool m_help = false;
  std::string m_link;
  std::string m_record;
  std::string m_transcript;
  std::string m_stopFile;
  std::string m_readyFile;
  int m_maxSeconds = 600;
  int m_firstRef = 1;  // references then count up and wrap round from 255 to 0
  int m_dropMs = 300;
  bool m_silent = false;
  bool m_echo = true;
  bool m_textEcho = false;  // with echo on, the PDU text is echoed as typed
  bool m_startInText = false;  // waiting for PDU text, as a killed run left it
  int m_delayMs = 0;
  int m_splitBytes = 0;  // 0: every reply in one write
  int m_splitMs = 0;
  std::string m_prompt = "\r\n> ";
  std::string m_noise;              // before every reply, the prompt included
  std::string m_unsolicited;        // before each final reply
  std::string m_unsolicitedInside;  // inside a "+CMGS:" reply, before its OK
  std::vector<std::string> m_urcs;  // sent in turn between lines, every m_urcEveryMs
  int m_urcEveryMs = 200;
  int m_networkMinMs = 0;  // the network's answer to a submission takes this
  int m_networkMaxMs = 0;  // to this long, drawn anew for every submission
  int m_burstBytes = 0;    // more bytes than this within m_burstMs are lost
  int m_burstMs = 0;
  std::string m_refuse;  // every AT+CMGS refused at once with this line
  bool m_textModeOnly = false;  // AT+CMGF=0 refused, text mode from power-up
  CmgsForm m_cmgsForm = CmgsForm::Blank;
  int m_beforePromptBytes = 0;  // of status lines between AT+CMGS and its prompt
  int m_simBusyMs = 0;          // after power-up every AT+CMGS is refused
  std::string m_simBusyLine = "+CMS ERROR: 314";  // with this line
  int m_rateCount = 0;     // the network takes m_rateCount messages within
  int m_rateWindowMs = 0;  // any m_rateWindowMs (0: no limit)
  bool m_centreRequired = false;  // PDUs without service centre refused until AT+CSCA=
  int m_fixedSpeed = 0;           // the only bit rate the modem talks at (0: any)
  // The answer line of each query (upper case, without "\r"): information,
  // then OK; a final result line (ERROR, +CME ERROR: ...) alone. A ready
  // modem's answers unless options change them.
  std::map<std::string, std::string> m_answers;
  CSimScript m_script;
  CMessagingOptions m_messaging;

  CSimOptions();

 private:
  bool SetOption(const std::string& name, const std::string& value, std::string& error);
  bool SetProfile(const std::string& name, std::string& error);
  bool SetAnswer(const std::string& entry);
  bool SetStatusLines(const std::string& everyMs);
  bool SetSimBusy(const std::string& entry);
};

}  // namespace modemsim
