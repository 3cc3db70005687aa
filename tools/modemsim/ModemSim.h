#pragma once
// The modem's side of the AT dialogue: command mode (echo, OK, ERROR) and the
// text mode of AT+CMGS, in which the PDU's hex (or, in the text message
// format, the message) is collected up to Ctrl-Z (submit) or ESC (drop the
// message), with the habits of the options and the faults of the script
// applied.
#include <chrono>
#include <map>
#include <random>
#include <string>

#include "tools/modemsim/SimLine.h"
#include "tools/modemsim/SimMessaging.h"
#include "tools/modemsim/SimOptions.h"
#include "tools/modemsim/SimPower.h"
#include "tools/modemsim/SimRateLimit.h"
#include "tools/modemsim/SimServiceCentre.h"
#include "tools/modemsim/SimStop.h"
#include "tools/modemsim/SimTextMode.h"
#include "tools/modemsim/SubmissionRecord.h"

namespace modemsim {

class CModemSim {
 public:
  // Long waits (the network, a reboot) end early when stop is requested.
  CModemSim(const CSimOptions& options, CSimLine& line, CSubmissionRecord& record,
            const CSimStop& stop);
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
  void MessageFormat(const std::string& argument);
  void TextParameters(const std::string& argument);
  void Charset(const std::string& argument);
  void WriteServiceCentre(const std::string& argument);

  bool ParseSubmission(const std::string& argument);
  void Conclude(const std::string& reply, const std::string& answer);
  void LoseLine(int pauseMs, bool vanish);
  void PowerUp();

  void FinishSubmission();
  void AnswerSubmission();
  void EscapeSubmission();
  void DropSubmission();
  void EndSubmission(const std::string& answer);
  std::string CheckPdu() const;  // "" when the text is valid, else the reason

  void FlushEcho();
  void Reply(const std::string& text);       // after the global delay, split
  void FinalReply(const std::string& text);  // the unsolicited text first
  // A busy modem: no input handled, unsolicited lines still sent (unless
  // ticking is false: no line meanwhile).
  void Idle(int ms, bool ticking = true);
  int NetworkDelayMs();

  const CSimOptions& m_options;
  CSimLine& m_line;
  CSubmissionRecord& m_record;
  const CSimStop& m_stop;
  std::map<std::string, std::string> m_answers;  // to queries; AT+CSCA= changes one
  CSimTextMode m_text;
  CSimServiceCentre m_centre;
  CSimPower m_power;
  CSimRateLimit m_rateLimit;
  bool m_echo;
  bool m_textMode = false;  // taking the text of AT+CMGS (not the text message format)
  bool m_lineDropped = false;
  std::string m_command;
  std::string m_echoPending;
  std::string m_pdu;  // the text so far: PDU hex, or the message in the text format
  int m_announced = 0;
  int m_submission = 0;
  int m_nextRef;
  SubmitFault m_fault;
  bool m_textSubmission = false;  // the submission in hand has the text format
  SubmissionMarks m_marks;        // of the submission in hand
  std::minstd_rand m_random;  // fixed seed: a run's delays repeat
  size_t m_nextUrc = 0;
  std::chrono::steady_clock::time_point m_urcDue;
  CSimMessaging m_messaging;
};

}  // namespace modemsim
