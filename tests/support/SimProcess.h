#pragma once
// The modem simulator (varnek-modem-sim) run as a process of its own for one
// test and reached as COM<n>. Natively the simulator's pty is linked in a
// folder of this object and the number is mapped to it with
// platform::MapComPort; under Wine the link is $WINEPREFIX/dosdevices/com<n>,
// which makes "\\.\COM<n>" open it. The record and transcript files live in
// that folder and are read while or after the simulator runs.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

// One line of the simulator's record: one AT+CMGS text that ended.
struct SimSubmission {
  int index = 0;            // the submission's number, from 1 (a refused AT+CMGS has the next's)
  int announcedLength = 0;  // the n of AT+CMGS=n; 0 in text mode
  std::string pdu;          // the text received before Ctrl-Z (escaped)
  // "ok REF", "error ERROR", "error +CMS ERROR: N", "refused LINE",
  // "invalid hex", "invalid length", "invalid too long", "dropped",
  // "escaped" or "silent"
  std::string answer;
  // The marks after the answer, by key: "mode" ("text" for a text-mode
  // submission), "number", "type", "cscs", "dcs", "text" (as the phone shows
  // it, UTF-8), "sca" (a PDU's own service centre), "rebooted" ("1": the
  // device rebooted where the answer would have come). Values escaped as pdu
  // is, UTF-8 kept.
  std::map<std::string, std::string> marks;

  // The value of a mark, "" when the line has none.
  std::string Mark(const std::string& key) const;
  bool TextMode() const { return Mark("mode") == "text"; }
};

// One event of a message or report that the simulator's memory handled, from
// its record.
struct SimMemoryEvent {
  // "stored", "read", "deleted"; "routed" (straight to the line), "held"
  // (memory full), "lost" (no routing)
  std::string event;
  std::string memory;  // "SM", "SR"; "-" for the events of no place
  int index = 0;
  std::string kind;  // "message" or "report"
  std::string pdu;
};

class SimProcess {
 public:
  // extraArgs are further simulator options, e.g. {"--submit", "2:error"}.
  // Waits up to 5 s for the simulator to be ready.
  SimProcess(int comNumber, std::vector<std::string> extraArgs = {});
  // Stops the simulator, waits for it to remove its link, removes the mapping
  // and the folder.
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  bool Started() const { return m_started; }
  int ComNumber() const { return m_comNumber; }
  // The link to the simulator's pty as the system (not Wine) names it.
  const std::string& LinkPath() const { return m_link; }

  // The record so far; empty before the first submission ended.
  std::vector<SimSubmission> Submissions() const;
  // The memory's events so far, in order.
  std::vector<SimMemoryEvent> MemoryEvents() const;
  // Every byte in ("IN  ") and out ("OUT "), escaped, one line per piece.
  std::string Transcript() const;
  // The pieces the simulator received, in order, escaped: each command
  // written at once is one.
  std::vector<std::string> Received() const;

 private:
  // Platform parts: tests/support/<posix|win32>/SimProcessSpawn.cpp.
  bool MakeFolder();                      // sets m_unixFolder and m_localFolder
  std::string LinkFor(int comNumber) const;  // unix path of the link
  bool Spawn(const std::vector<std::string>& args);
  bool Running();  // false once the process has ended
  void Stop();
  void MapPort(bool mapped);

  std::string UnixFile(const char* name) const { return m_unixFolder + "/" + name; }
  std::string LocalFile(const char* name) const;  // platform part too
  bool WaitReady();

  int m_comNumber;
  bool m_started = false;
  bool m_spawned = false;
  std::string m_unixFolder;   // as the simulator names it
  std::string m_localFolder;  // as this process names it
  std::string m_link;
  intptr_t m_process = 0;     // pid or process handle; 0 when none or unknown
  intptr_t m_thread = 0;      // Windows thread handle of the process, else 0
};

// Reads the record file of the simulator: its submissions, its memory's events.
std::vector<SimSubmission> ParseSimRecord(const std::string& contents);
std::vector<SimMemoryEvent> ParseSimEvents(const std::string& contents);

// The destination number of a submission's PDU text (hex); "" when too short.
std::string DestinationOf(const std::string& pdu);

}  // namespace testing_support
