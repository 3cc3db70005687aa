#pragma once
// The modem simulator (varnek-modem-sim) run as a process of its own for one
// test and reached as COM<n>. Natively the simulator's pty is linked in a
// folder of this object and the number is mapped to it with
// platform::MapComPort; under Wine the link is $WINEPREFIX/dosdevices/com<n>,
// which makes "\\.\COM<n>" open it. The record and transcript files live in
// that folder and are read while or after the simulator runs.
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// One line of the simulator's record: one AT+CMGS text that ended.
struct SimSubmission {
  int index = 0;            // the submission's number, from 1
  int announcedLength = 0;  // the n of AT+CMGS=n
  std::string pdu;          // the text received before Ctrl-Z (escaped)
  // "ok REF", "error ERROR", "error +CMS ERROR: N", "invalid hex",
  // "invalid length", "dropped", "escaped" or "silent"
  std::string answer;
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
  // Every byte in ("IN  ") and out ("OUT "), escaped, one line per piece.
  std::string Transcript() const;

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

// Reads the record file of the simulator.
std::vector<SimSubmission> ParseSimRecord(const std::string& contents);

// The destination number of a submission's PDU text (hex); "" when too short.
std::string DestinationOf(const std::string& pdu);

}  // namespace testing_support
