#pragma once
// A claim on a name in a folder that several processes, on one PC or on
// several sharing the folder over a network, may use at once: a file created
// exclusively and kept locked for as long as its holder has the name in hand.
// The lock is the sign of life: a claim whose lock can be had has no living
// holder (its process ended, was killed, or its PC died) and is "abandoned";
// the file itself stays until someone removes it.
//
// Both backends give the same contract with locks that a network share
// honours:
// - POSIX: the file is made with O_CREAT|O_EXCL and locked for writing as a
//   whole with fcntl, which NFS passes on to the server. Open-file-description
//   locks where the system has them (Linux): a classic lock belongs to the
//   process and ends when any descriptor of the file in the process closes.
//   Either way a probe never opens a claim that this process holds.
// - Windows: CreateFileW with CREATE_NEW and share mode 0, which an SMB server
//   enforces: while the holder's handle is open no one else opens the file. A
//   held claim is deleted through that handle, so no other process can slip
//   in between the close and the delete.
//
// The holder writes one line into its claim: process id, host, local time and
// a serial, unique in practice. A process that takes an abandoned claim over
// names the line it saw, so that it never takes over a claim that someone
// else took over (and perhaps abandoned again) meanwhile.
//
// Paths as platform/Files.h takes them. Any thread may call; one object is
// used by one thread at a time. Objects are moved, never copied.
#include <cstdint>
#include <string>

namespace platform {

enum class ClaimStatus {
  Held,          // this object holds the claim now
  Absent,        // no claim at the path
  HeldByLiving,  // a claim whose holder lives: another process, or another object here
  Abandoned,     // a claim without a living holder
  Failed,        // the system refused: no folder, no rights, a full disk, no locks
};

struct ClaimFinding {
  ClaimStatus status = ClaimStatus::Absent;
  // Abandoned: the line its last holder wrote; "" when it died before writing one.
  std::string line;
  // Failed: why, in the system's words (UTF-8).
  std::string reason;
};

class ClaimFile {
 public:
  ClaimFile() = default;
  ~ClaimFile() { Leave(); }
  ClaimFile(ClaimFile&& other) noexcept;
  ClaimFile& operator=(ClaimFile&& other) noexcept;
  ClaimFile(const ClaimFile&) = delete;
  ClaimFile& operator=(const ClaimFile&) = delete;

  // Makes a new claim at path (never over an existing file) and holds it:
  // Held, or Failed. When a claim is there already, what Probe finds; Absent
  // when it vanished meanwhile (try again). Anything this object held before
  // is left first.
  ClaimFinding Create(const std::string& path);

  // What is at path, taking nothing. Never Held.
  static ClaimFinding Probe(const std::string& path);

  // Takes over the abandoned claim at path whose line is seenLine (as Probe
  // gave it) and writes this process's line into it: Held. Abandoned, with
  // the line found, when the claim holds another line now; HeldByLiving,
  // Absent or Failed as Probe would say.
  ClaimFinding TakeOver(const std::string& path, const std::string& seenLine);

  bool IsHeld() const { return m_handle != -1; }
  const std::string& Path() const { return m_path; }

  // Deletes the held claim and drops it: nothing went out under it. False
  // when the file could not be deleted; it is then left, as by Leave.
  bool Remove();
  // Drops the lock and keeps the file: the claim is abandoned from now on.
  // Nothing held: nothing to do.
  void Leave();

 private:
  intptr_t m_handle = -1;  // descriptor or HANDLE, -1 when nothing is held
  std::string m_path;
};

// Makes folder, and its missing parents, for claims to be made in: true when
// it is a folder afterwards; false with the system's reason (UTF-8), such as
// no rights or a file of that name.
bool MakeClaimFolder(const std::string& folder, std::string& reason);

// This process's id, as claim lines give it.
unsigned long CurrentProcessId();

}  // namespace platform
