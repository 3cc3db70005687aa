// Claim files between processes: a holder that is killed leaves its claim
// abandoned, and a process's look at its own claim keeps its lock.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/ClaimFile.h"
#include "support/TempDir.h"

namespace {

using platform::ClaimFile;
using platform::ClaimStatus;

// A child that holds a claim at path until it is killed.
class Holder {
 public:
  explicit Holder(const std::string& path) {
    int ready[2];
    if (pipe(ready) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
      ClaimFile claim;
      const char held = claim.Create(path).status == ClaimStatus::Held ? 'h' : 'x';
      if (write(ready[1], &held, 1) != 1) _exit(1);
      for (;;) pause();
    }
    close(ready[1]);
    char held = 0;
    m_holds = read(ready[0], &held, 1) == 1 && held == 'h';
    close(ready[0]);
  }
  ~Holder() { Kill(); }

  bool Holds() const { return m_holds; }
  pid_t Pid() const { return m_pid; }
  void Kill() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
  }

 private:
  pid_t m_pid = -1;
  bool m_holds = false;
};

constexpr char kPathVariable[] = "VARNEK_CLAIM_PATH";

// Only as the program that the function below starts: probes the claim the
// environment names and exits with what it found.
TEST(ClaimProbe, DISABLED_ExitsWithWhatItFinds) {
  const char* path = getenv(kPathVariable);
  _exit(path == nullptr ? 99 : static_cast<int>(ClaimFile::Probe(path).status));
}

// What a process of its own (this program started anew, sharing nothing
// with this one) finds at path.
ClaimStatus ProbeFromAnotherProcess(const std::string& path) {
  const pid_t pid = fork();
  if (pid == 0) {
    setenv(kPathVariable, path.c_str(), 1);
    execl("/proc/self/exe", "test_platform",
          "--gtest_filter=ClaimProbe.DISABLED_ExitsWithWhatItFinds",
          "--gtest_also_run_disabled_tests", static_cast<char*>(nullptr));
    _exit(98);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return static_cast<ClaimStatus>(WEXITSTATUS(status));
}

TEST(ClaimFileProcess, AKilledHolderLeavesItsClaimAbandoned) {
  testing_support::TempDir dir;
  const std::string path = dir.File("79001234567.claim");
  Holder holder(path);
  ASSERT_TRUE(holder.Holds());
  ClaimFile here;
  EXPECT_EQ(ClaimFile::Probe(path).status, ClaimStatus::HeldByLiving);
  EXPECT_EQ(here.Create(path).status, ClaimStatus::HeldByLiving);

  const pid_t pid = holder.Pid();
  holder.Kill();
  const platform::ClaimFinding left = ClaimFile::Probe(path);
  EXPECT_EQ(left.status, ClaimStatus::Abandoned);
  EXPECT_EQ(left.line.rfind(std::to_string(pid) + " ", 0), 0u) << left.line;
  EXPECT_EQ(here.TakeOver(path, left.line).status, ClaimStatus::Held);
  EXPECT_EQ(ProbeFromAnotherProcess(path), ClaimStatus::HeldByLiving);
}

// A classic POSIX lock would end when the probe closes its descriptor.
TEST(ClaimFileProcess, LookingAtOurOwnClaimKeepsItsLock) {
  testing_support::TempDir dir;
  const std::string path = dir.File("79001234567.claim");
  ClaimFile held;
  ASSERT_EQ(held.Create(path).status, ClaimStatus::Held);
  ClaimFile other;
  EXPECT_EQ(ClaimFile::Probe(path).status, ClaimStatus::HeldByLiving);
  EXPECT_EQ(other.Create(path).status, ClaimStatus::HeldByLiving);
  EXPECT_EQ(other.TakeOver(path, "").status, ClaimStatus::HeldByLiving);
  EXPECT_EQ(ProbeFromAnotherProcess(path), ClaimStatus::HeldByLiving);
}

}  // namespace
