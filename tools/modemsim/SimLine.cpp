#include "tools/modemsim/SimLine.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <utility>

namespace modemsim {

namespace {

constexpr size_t kAnswerBytes = 6;  // "\r\nOK\r\n"

}  // namespace

void PauseMs(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

CSimLine::CSimLine(std::string linkPath, CSimTranscript& transcript)
    : m_link(std::move(linkPath)), m_transcript(transcript) {}

CSimLine::~CSimLine() { Close(); }

bool CSimLine::Open() { return m_pty.Open() && Relink(); }

void CSimLine::Close() {
  if (!m_pty.IsOpen()) return;
  // Another simulator may have taken the link over meanwhile: leave it alone.
  char target[4096];
  ssize_t n = readlink(m_link.c_str(), target, sizeof target - 1);
  if (n > 0 && std::string(target, static_cast<size_t>(n)) == m_pty.SlavePath()) {
    unlink(m_link.c_str());
  }
  m_pty.Close();
}

void CSimLine::Hangup(bool vanish) {
  m_transcript.Event(vanish ? "device gone" : "line dropped");
  if (vanish) {
    Close();
  } else {
    m_pty.Close();
  }
}

bool CSimLine::Reconnect() {
  bool ok = Open();
  m_transcript.Event(ok ? "line back at " + m_pty.SlavePath() : "no new pty");
  return ok;
}

void CSimLine::LimitBursts(int bytes, int ms) {
  m_burstBytes = bytes;
  m_burstWindow = std::chrono::milliseconds(ms);
}

std::string CSimLine::Read(int timeoutMs) {
  char buffer[512];
  size_t n = m_pty.Read(buffer, sizeof buffer, timeoutMs);
  std::string bytes(buffer, n);
  if (n == 0) return bytes;
  m_transcript.Received(bytes);
  if (!ClientAtSpeed()) {
    // The echo and a short answer, as a client at the wrong speed hears them.
    const std::string garbage = m_speed.Garbage(bytes.size() + kAnswerBytes);
    m_transcript.Sent(garbage);
    m_pty.Write(garbage.data(), garbage.size());
    return "";
  }
  return KeepWithinBurst(bytes);
}

std::string CSimLine::KeepWithinBurst(const std::string& bytes) {
  if (m_burstBytes <= 0 || bytes.empty()) return bytes;
  const auto now = std::chrono::steady_clock::now();
  while (!m_kept.empty() && now - m_kept.front() >= m_burstWindow) m_kept.pop_front();
  const size_t room = static_cast<size_t>(m_burstBytes) - m_kept.size();
  if (bytes.size() <= room) {
    m_kept.insert(m_kept.end(), bytes.size(), now);
    return bytes;
  }
  m_kept.insert(m_kept.end(), room, now);
  m_transcript.Event("lost " + std::to_string(bytes.size() - room) + " bytes");
  return bytes.substr(0, room);
}

void CSimLine::Send(const std::string& bytes, int pieceBytes, int pauseMs) {
  // A phone that answers has taken in what came before: its input buffer
  // has room again.
  m_kept.clear();
  size_t piece = pieceBytes > 0 ? static_cast<size_t>(pieceBytes) : bytes.size();
  for (size_t at = 0; at < bytes.size(); at += piece) {
    if (at > 0) PauseMs(pauseMs);
    std::string part = AsHeard(bytes.substr(at, piece));
    m_transcript.Sent(part);
    m_pty.Write(part.data(), part.size());
  }
}

void CSimLine::SendUnsolicited(const std::string& line) {
  const std::string bytes = AsHeard(line);
  m_transcript.Sent(bytes);
  if (!m_pty.Write(bytes.data(), bytes.size(), false)) m_transcript.Event("no room: line lost");
}

bool CSimLine::ClientAtSpeed() {
  if (m_speed.Baud() == 0) return true;
  const int client = m_pty.ClientBaud();
  const bool garbled = !m_speed.Understands(client);
  if (garbled != m_garbled) {
    m_transcript.Event(garbled ? "client at " + std::to_string(client) + " bit/s, the modem at " +
                                     std::to_string(m_speed.Baud()) + ": garbage both ways"
                               : "client at the modem's speed");
  }
  m_garbled = garbled;
  return !garbled;
}

std::string CSimLine::AsHeard(const std::string& bytes) {
  return ClientAtSpeed() ? bytes : m_speed.Garbage(bytes.size());
}

// The new link is made beside the old one and renamed over it, so that a
// client never finds the path missing while a link already existed.
bool CSimLine::Relink() {
  std::string temporary = m_link + ".new" + std::to_string(getpid());
  unlink(temporary.c_str());
  if (symlink(m_pty.SlavePath().c_str(), temporary.c_str()) != 0) return false;
  if (std::rename(temporary.c_str(), m_link.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace modemsim
