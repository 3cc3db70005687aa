#pragma once
// The simulator's end of the serial line: a pty whose slave is reached through
// a symlink, with the transcript of every byte. A dropped line is a closed pty
// and, after a pause, a new one behind the same link.
#include <string>

#include "tools/modemsim/SimPty.h"
#include "tools/modemsim/SimTranscript.h"

namespace modemsim {

class CSimLine {
 public:
  CSimLine(std::string linkPath, CSimTranscript& transcript);
  ~CSimLine();
  CSimLine(const CSimLine&) = delete;
  CSimLine& operator=(const CSimLine&) = delete;

  bool Open();  // a new pty, the link replaced to point at it
  void Close();  // the link removed (when it is still ours), the pty closed
  // Closes the pty, waits pauseMs and opens a new one behind the link.
  bool Drop(int pauseMs);

  // Waits up to timeoutMs; gives the bytes received, empty when none came.
  std::string Read(int timeoutMs);
  // Writes in pieces of pieceBytes (0 = all at once) with pauseMs between.
  void Send(const std::string& bytes, int pieceBytes, int pauseMs);

  const std::string& LinkPath() const { return m_link; }

 private:
  bool Relink();

  std::string m_link;
  CSimTranscript& m_transcript;
  CSimPty m_pty;
};

// Sleeps for ms milliseconds (nothing for 0).
void PauseMs(int ms);

}  // namespace modemsim
