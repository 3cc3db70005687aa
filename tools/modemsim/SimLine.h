#pragma once
// The simulator's end of the serial line: a pty whose slave is reached through
// a symlink, with the transcript of every byte. A dropped line is a closed pty
// and, after a pause, a new one behind the same link; a device that leaves
// the bus (a stick that reboots) takes the link with it meanwhile. A modem
// fixed at one speed hears a client at another speed as garbage and is
// heard so.
#include <chrono>
#include <deque>
#include <string>

#include "tools/modemsim/SimPty.h"
#include "tools/modemsim/SimSpeed.h"
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
  // Closes the pty, so that the client's end hangs up; with vanish the link
  // is removed too.
  void Hangup(bool vanish);
  // A new pty behind the link, after Hangup; false when the system gives none.
  bool Reconnect();

  // The speed the modem talks at (0: whatever the client set).
  void FixSpeed(int baud) { m_speed = CSimSpeed(baud); }

  // Like the serial input of an old phone: of the bytes that arrive within
  // ms milliseconds only the first `bytes` are kept, the rest are lost; an
  // answer sent empties the buffer. 0 bytes keeps everything.
  void LimitBursts(int bytes, int ms);

  // Waits up to timeoutMs; gives the bytes received (less the ones lost to a
  // burst), empty when none came. Bytes from a client at the wrong speed are
  // garbage: none are given, and garbage a little longer goes back, as the
  // echo and answer look to the client.
  std::string Read(int timeoutMs);
  // Writes in pieces of pieceBytes (0 = all at once) with pauseMs between;
  // to a client at the wrong speed, garbage of the same length (so also
  // SendUnsolicited).
  void Send(const std::string& bytes, int pieceBytes, int pauseMs);
  // Writes an unsolicited line if the client's input queue has room for it;
  // while nobody reads the line, such lines are lost, as on a real one.
  void SendUnsolicited(const std::string& line);

  const std::string& LinkPath() const { return m_link; }

 private:
  bool Relink();
  std::string KeepWithinBurst(const std::string& bytes);
  bool ClientAtSpeed();  // tells the transcript when that changes
  std::string AsHeard(const std::string& bytes);

  std::string m_link;
  CSimTranscript& m_transcript;
  CSimPty m_pty;
  CSimSpeed m_speed{0};
  bool m_garbled = false;
  int m_burstBytes = 0;
  std::chrono::milliseconds m_burstWindow{0};
  std::deque<std::chrono::steady_clock::time_point> m_kept;  // arrival of each byte kept
};

// Sleeps for ms milliseconds (nothing for 0).
void PauseMs(int ms);

}  // namespace modemsim
