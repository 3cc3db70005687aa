#pragma once
// The scripted faults of one simulator run: what to do differently for the
// k-th submission (counted from 1: the texts the modem took after a prompt,
// not the AT+CMGS it refused at once) and for a given command.
#include <map>
#include <string>
#include <vector>

namespace modemsim {

// How a submission ends after Ctrl-Z.
enum class FinalKind { Ok, Error, Refusal, RefZero, Silent };

struct SubmitFault {
  FinalKind final = FinalKind::Ok;
  std::string refusal;    // for Refusal: "+CMS ERROR: 500", "+CME ERROR: SIM busy" ...
  bool noPrompt = false;  // no prompt, yet the text is collected as usual
  bool drop = false;      // line dropped in the middle of the text
  int delayMs = 0;        // before the final reply
  int rebootMs = -1;      // >= 0: instead of the final reply the device
                          // reboots, back after this many ms
};

enum class CommandAction { Silent, Error, Delay };

struct CommandFault {
  std::string pattern;  // upper case, without "\r"
  CommandAction action = CommandAction::Silent;
  int delayMs = 0;
};

class CSimScript {
 public:
  // "K:error", "K:cms:X", "K:cme:X" (X a code or a verbose text), "K:ref0",
  // "K:noprompt", "K:silent", "K:drop", "K:delay:MS", "K:reboot:MS". Several
  // faults for one K combine. False on a malformed one.
  bool AddSubmitFault(const std::string& entry);
  // "K:MS": the same as "K:reboot:MS".
  bool AddReboot(const std::string& entry);
  // "PATTERN:silent", "PATTERN:error", "PATTERN:delay:MS". False when malformed.
  bool AddCommandFault(const std::string& entry);

  SubmitFault ForSubmission(int index) const;  // the default when none is scripted
  // The first fault whose pattern equals the command (case-insensitive), or null.
  const CommandFault* ForCommand(const std::string& command) const;

 private:
  std::map<int, SubmitFault> m_submits;
  std::vector<CommandFault> m_commands;
};

// Upper-cases ASCII letters.
std::string ToUpper(std::string text);
// A decimal number of 1 to 9 digits, nothing else; false otherwise.
bool ParseCount(const std::string& text, int& value);

}  // namespace modemsim
