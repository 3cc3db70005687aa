#pragma once
// The command line of varnek-send. Every text here is UTF-8 as given; the
// job converts what it hands to the engine.
#include <optional>
#include <string>
#include <vector>

#include "tools/varnek-send/SendMessages.h"

enum class TextEncoding { Cp1251, Utf8 };

// One source of numbers; the sources append to the list in the order given.
struct CListSource {
  enum Kind { List, Mask, Number };
  Kind m_kind = List;
  std::string m_value;  // a file, a mask or a number

  bool operator==(const CListSource& other) const {
    return m_kind == other.m_kind && m_value == other.m_value;
  }
};

class CSendOptions {
 public:
  // args[0] is the program. False for bad usage, with error saying why.
  bool Parse(const std::vector<std::string>& args, std::string& error);

  // The largest --piece-pause, ms.
  static constexpr int kMaxPiecePause = 10000;
  // The largest --confirm-wait and --wait-reports, s.
  static constexpr int kMaxConfirmWait = 600;
  static constexpr int kMaxWaitReports = 7 * 24 * 60 * 60;

  // A task that sends nothing: --probe, --list-ports, --collect, --inbox.
  bool ModemTask() const { return m_probe || m_listPorts || m_collect || m_inbox; }

  // The language of the messages: the last valid --lang of args, else the
  // user's. Chosen before the parse, so that its errors speak it too.
  static Language LanguageOf(const std::vector<std::string>& args);

  bool m_help = false;
  bool m_probe = false;      // ask the modem whether it is ready, send nothing
  bool m_listPorts = false;  // the ports and which of them answers as a modem
  bool m_collect = false;    // read the modems' reports and replies, send nothing
  bool m_inbox = false;      // print the replies file, touch no modem
  bool m_dryRun = false;     // the plan and the predicted table, nothing touched
  bool m_quiet = false;      // no plan (its warnings still show)
  bool m_waitForPort = false;  // a port that cannot be opened is retried
  int m_portRetries = 0;       // failed captures in a row that end the run; 0: none do
  // Each --port and --device in order; several make a pool of modems
  // (ModemPorts.h). Neither: PORT of the settings file.
  std::vector<int> m_ports;
  std::vector<std::string> m_devices;
  std::optional<int> m_baudRate;  // unset: BAUDRATE
  std::optional<bool> m_check;    // unset: CHECK
  std::optional<int> m_minPause;  // unset: TIMEOUT and TIMEOUT2
  std::optional<int> m_maxPause;
  std::optional<int> m_piecePause;  // ms; unset: the window's pause
  std::optional<std::string> m_markers;  // the marker folder; unset: MARKERS, else PHONES
  // Numbers whose claim a run left behind are sent all the same.
  bool m_resendUnconfirmed = false;
  std::optional<bool> m_reports;      // status reports asked for; unset: REPORTS
  std::optional<std::string> m_smsc;  // "+" and digits; unset: SMSC, else the modem's
  std::optional<int> m_confirmWait;   // s, the longest wait for +CMGS; unset: 120
  // How long to listen for reports after the last number (with --collect:
  // after the modems' memories are read), s; 0: not at all.
  int m_waitReports = 0;
  // The first number to send, counting from 1 as the progress lines "K/N" do.
  int m_from = 1;
  // unset: a file's byte order mark, else UTF-8 when its bytes are UTF-8,
  // else cp1251 (TextDecoding.h)
  std::optional<TextEncoding> m_encoding;
  std::vector<CListSource> m_sources;
  std::optional<std::string> m_text;  // --text
  std::string m_textFile;             // --text-file
  // Where the numbers not finished are written at the end, in the form of a
  // list file; empty: nowhere.
  std::string m_left;

 private:
  bool SetOption(const std::string& name, const std::string& value, std::string& error);
  bool CheckComplete(std::string& error) const;
  bool CheckTask(std::string& error) const;
};
