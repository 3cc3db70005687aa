#pragma once
// The modem's side of the AT dialogue: command mode (echo, OK, ERROR) and the
// text mode of AT+CMGS, in which hex text is collected up to Ctrl-Z (submit)
// or ESC (drop the message), with the habits of the options and the faults
// of the script applied.
#include <chrono>
#include <random>
#include <string>

#include "tools/modemsim/SimLine.h"
#include "tools/modemsim/SimMessaging.h"
#include "tools/modemsim/SimOptions.h"
#include "tools/modemsim/SubmissionRecord.h"

namespace modemsim {

class CModemSim {
 public:
  CModemSim(const CSimOptions& options, CSimLine& line, CSubmissionRecord& record);
  CModemSim(const CModemSim&) = delete;
  CModemSim& operator=(const CModemSim&) = delete;

  // Handles bytes as they arrive from the client.
  void Feed(const std::string& bytes);
  // Sends the unsolicited line that is due, if any; called between reads,
  // which is always between two lines of the modem.
  void Tick();

 private:
  struct CommandEntry {
    const char* text;
    bool prefix;  // text followed by any argument
    void (CModemSim::*handler)(const std::string& argument);
  };
  static const CommandEntry kCommands[];

  void FeedCommandByte(char c);
  void FeedTextByte(char c);
  void RunCommand(const std::string& command);
  void Dispatch(const std::string& upper);

  void AnswerOk(const std::string& argument);
  void EchoOff(const std::string& argument);
  void EchoOn(const std::string& argument);
  void Reset(const std::string& argument);
  void StartSubmission(const std::string& argument);
  void AnswerQuery(const std::string& line);
  void SetIndications(const std::string& argument);
  void SelectStorage(const std::string& argument);
  void ListMessages(const std::string& argument);
  void ReadMessage(const std::string& argument);
  void DeleteMessage(const std::string& argument);

  void FinishSubmission();
  void AnswerSubmission();
  void EscapeSubmission();
  void DropSubmission();
  void EndSubmission(const std::string& answer);
  std::string CheckPdu() const;  // "" when the text is valid, else the reason

  void FlushEcho();
  void Reply(const std::string& text);       // after the global delay, split
  void FinalReply(const std::string& text);  // the unsolicited text first
  void Idle(int ms);  // a busy modem: no input handled, unsolicited lines still sent
  int NetworkDelayMs();

  const CSimOptions& m_options;
  CSimLine& m_line;
  CSubmissionRecord& m_record;
  bool m_echo;
  bool m_textMode = false;
  bool m_lineDropped = false;
  std::string m_command;
  std::string m_echoPending;
  std::string m_pdu;
  int m_announced = 0;
  int m_submission = 0;
  int m_nextRef;
  SubmitFault m_fault;
  std::minstd_rand m_random;  // fixed seed: a run's delays repeat
  size_t m_nextUrc = 0;
  std::chrono::steady_clock::time_point m_urcDue;
  CSimMessaging m_messaging;
};

}  // namespace modemsim
