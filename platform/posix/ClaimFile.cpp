#include "platform/ClaimFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <set>

#include "platform/Clock.h"
#include "platform/common/ClaimLine.h"
#include "platform/posix/Descriptor.h"

namespace platform {
namespace {

// A new claim waits this long for its own lock while a taker-over has it.
constexpr int kLockTries = 500;
constexpr uint32_t kLockRetryMs = 2;
// A probe looks again when the file is replaced under it, and when it finds
// a claim without lock and line: a claim being made, whose maker locks it and
// writes its line at once after creating it.
constexpr int kProbeRounds = 20;
constexpr uint32_t kProbeRetryMs = 10;
// More than any line a holder writes.
constexpr size_t kLineBytes = 1024;

#ifdef F_OFD_SETLK
constexpr int kOfdSetLock = F_OFD_SETLK;
constexpr int kOfdGetLock = F_OFD_GETLK;
#else
constexpr int kOfdSetLock = -1;
constexpr int kOfdGetLock = -1;
#endif

// Set once a system refuses open-file-description locks (EINVAL).
std::atomic<bool> s_classicLocks{kOfdSetLock == -1};

ClaimFinding Failure(int error) {
  return {ClaimStatus::Failed, std::string(), std::strerror(error)};
}

ClaimFinding Found(ClaimStatus status) { return {status, std::string(), std::string()}; }

struct flock WholeFileWriteLock() {
  struct flock lock;
  std::memset(&lock, 0, sizeof lock);  // l_pid 0, as open-file-description locks require
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  return lock;
}

// 0, or the errno of the lock command.
int LockCommand(int fd, int ofdCommand, int classicCommand, struct flock& lock) {
  if (!s_classicLocks.load()) {
    if (fcntl(fd, ofdCommand, &lock) == 0) return 0;
    if (errno != EINVAL) return errno;
    s_classicLocks = true;
  }
  return fcntl(fd, classicCommand, &lock) == 0 ? 0 : errno;
}

int TryLock(int fd) {
  struct flock lock = WholeFileWriteLock();
  return LockCommand(fd, kOfdSetLock, F_SETLK, lock);
}

bool IsHeldElsewhere(int error) { return error == EAGAIN || error == EACCES; }

// Whether someone holds a lock on the file; 0 or the errno.
int TestLock(int fd, bool& locked) {
  struct flock lock = WholeFileWriteLock();
  const int error = LockCommand(fd, kOfdGetLock, F_GETLK, lock);
  locked = error == 0 && lock.l_type != F_UNLCK;
  return error;
}

using FileId = std::pair<dev_t, ino_t>;

bool IdOf(int fd, FileId& id) {
  struct stat info;
  if (fstat(fd, &info) != 0) return false;
  id = {info.st_dev, info.st_ino};
  return true;
}

bool IdOf(const std::string& path, FileId& id) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return false;
  id = {info.st_dev, info.st_ino};
  return true;
}

// The path still names the file open on fd: no one removed or replaced it.
bool SameFile(int fd, const std::string& path) {
  FileId open;
  FileId named;
  return IdOf(fd, open) && IdOf(path, named) && open == named;
}

// The claims this process holds. A probe or take-over never opens one of
// them: with classic locks its close would end this process's lock, and the
// lock would not keep it out anyway.
class HeldHere {
 public:
  void Add(int fd) { Change(fd, true); }
  void Drop(int fd) { Change(fd, false); }
  bool Holds(const std::string& path) {
    FileId id;
    if (!IdOf(path, id)) return false;
    std::lock_guard<std::mutex> guard(m_lock);
    return m_ids.count(id) != 0;
  }

 private:
  void Change(int fd, bool add) {
    FileId id;
    if (!IdOf(fd, id)) return;
    std::lock_guard<std::mutex> guard(m_lock);
    if (add) {
      m_ids.insert(id);
    } else {
      m_ids.erase(id);
    }
  }
  std::mutex m_lock;
  std::set<FileId> m_ids;
};

HeldHere& Held() {
  static HeldHere held;
  return held;
}

std::string FirstLineOf(int fd) {
  char bytes[kLineBytes];
  ssize_t got;
  do {
    got = pread(fd, bytes, sizeof bytes, 0);
  } while (got < 0 && errno == EINTR);
  return got > 0 ? FirstLine(std::string(bytes, static_cast<size_t>(got))) : std::string();
}

// Puts line in the place of what the file held; 0 or the errno.
int WriteLine(int fd, const std::string& line) {
  size_t done = 0;
  while (done < line.size()) {
    const ssize_t written =
        pwrite(fd, line.data() + done, line.size() - done, static_cast<off_t>(done));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return written < 0 ? errno : EIO;
    done += static_cast<size_t>(written);
  }
  return ftruncate(fd, static_cast<off_t>(line.size())) == 0 ? 0 : errno;
}

// The lock of a claim just created. Only a taker-over that found it without
// a line can have it first, and then keeps it for a whole send: not long.
int LockNewClaim(int fd) {
  int error = TryLock(fd);
  for (int tries = 1; tries < kLockTries && IsHeldElsewhere(error); ++tries) {
    SleepMs(kLockRetryMs);
    error = TryLock(fd);
  }
  return error;
}

bool IsEmpty(int fd) {
  struct stat info;
  return fstat(fd, &info) == 0 && info.st_size == 0;
}

}  // namespace

ClaimFinding ClaimFile::Create(const std::string& path) {
  Leave();
  CDescriptor fd(open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (fd.Get() < 0) return errno == EEXIST ? Probe(path) : Failure(errno);
  const int lockError = LockNewClaim(fd.Get());
  // Not ours any more: a taker-over has it, or had it and removed it.
  if (IsHeldElsewhere(lockError) ||
      (lockError == 0 && !(SameFile(fd.Get(), path) && IsEmpty(fd.Get())))) {
    close(fd.Release());
    return Probe(path);
  }
  const int error = lockError != 0 ? lockError : WriteLine(fd.Get(), OwnClaimLine());
  if (error != 0) {
    // A file without lock and line would read as abandoned for ever.
    if (SameFile(fd.Get(), path)) unlink(path.c_str());
    return Failure(error);
  }
  Held().Add(fd.Get());
  m_handle = fd.Release();
  m_path = path;
  return Found(ClaimStatus::Held);
}

ClaimFinding ClaimFile::Probe(const std::string& path) {
  for (int round = 1;; ++round) {
    if (Held().Holds(path)) return Found(ClaimStatus::HeldByLiving);
    CDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) return errno == ENOENT ? Found(ClaimStatus::Absent) : Failure(errno);
    bool locked = false;
    if (const int error = TestLock(fd.Get(), locked)) return Failure(error);
    const bool replaced = !SameFile(fd.Get(), path);
    if (!replaced && locked) return Found(ClaimStatus::HeldByLiving);
    std::string line = replaced ? std::string() : FirstLineOf(fd.Get());
    if (!line.empty()) return {ClaimStatus::Abandoned, line, std::string()};
    if (round == kProbeRounds) {
      // Someone keeps working on it, or its maker died before its line.
      return replaced ? Found(ClaimStatus::HeldByLiving)
                      : ClaimFinding{ClaimStatus::Abandoned, std::string(), std::string()};
    }
    if (!replaced) SleepMs(kProbeRetryMs);
  }
}

ClaimFinding ClaimFile::TakeOver(const std::string& path, const std::string& seenLine) {
  Leave();
  if (Held().Holds(path)) return Found(ClaimStatus::HeldByLiving);
  CDescriptor fd(open(path.c_str(), O_RDWR | O_CLOEXEC));
  if (fd.Get() < 0) return errno == ENOENT ? Found(ClaimStatus::Absent) : Failure(errno);
  if (const int error = TryLock(fd.Get())) {
    return IsHeldElsewhere(error) ? Found(ClaimStatus::HeldByLiving) : Failure(error);
  }
  if (!SameFile(fd.Get(), path)) return Found(ClaimStatus::Absent);
  std::string line = FirstLineOf(fd.Get());
  if (line != seenLine) return {ClaimStatus::Abandoned, line, std::string()};
  if (const int error = WriteLine(fd.Get(), OwnClaimLine())) return Failure(error);
  Held().Add(fd.Get());
  m_handle = fd.Release();
  m_path = path;
  return Found(ClaimStatus::Held);
}

bool ClaimFile::Remove() {
  if (!IsHeld()) return false;
  const int fd = static_cast<int>(m_handle);
  // Unlinked while still locked: a prober that opened it meanwhile finds the
  // path no longer names it and looks again.
  bool removed = true;
  if (SameFile(fd, m_path)) removed = unlink(m_path.c_str()) == 0 || errno == ENOENT;
  Leave();
  return removed;
}

void ClaimFile::Leave() {
  if (!IsHeld()) return;
  const int fd = static_cast<int>(m_handle);
  Held().Drop(fd);
  close(fd);
  m_handle = -1;
  m_path.clear();
}

unsigned long CurrentProcessId() { return static_cast<unsigned long>(getpid()); }

namespace backend {

std::string HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return std::string();
  return name;
}

}  // namespace backend

}  // namespace platform
