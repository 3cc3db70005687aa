#pragma once
// The simulator's end of the serial line: a pty whose slave is reached through
// a symlink, with the transcript of every byte. A dropped line is a closed pty
// and, after a pause, a new one behind the same link.
#include <chrono>
#include <deque>
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

  // Like the serial input of an old phone: of the bytes that arrive within
  // ms milliseconds only the first `bytes` are kept, the rest are lost; an
  // answer sent empties the buffer. 0 bytes keeps everything.
  void LimitBursts(int bytes, int ms);

  // Waits up to timeoutMs; gives the bytes received (less the ones lost to a
  // burst), empty when none came.
  std::string Read(int timeoutMs);
  // Writes in pieces of pieceBytes (0 = all at once) with pauseMs between.
  void Send(const std::string& bytes, int pieceBytes, int pauseMs);
  // Writes an unsolicited line if the client's input queue has room for it;
  // while nobody reads the line, such lines are lost, as on a real one.
  void SendUnsolicited(const std::string& bytes);

  const std::string& LinkPath() const { return m_link; }

 private:
  bool Relink();
  std::string KeepWithinBurst(const std::string& bytes);

  std::string m_link;
  CSimTranscript& m_transcript;
  CSimPty m_pty;
  int m_burstBytes = 0;
  std::chrono::milliseconds m_burstWindow{0};
  std::deque<std::chrono::steady_clock::time_point> m_kept;  // arrival of each byte kept
};

// Sleeps for ms milliseconds (nothing for 0).
void PauseMs(int ms);

}  // namespace modemsim
