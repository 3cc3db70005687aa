// Claim files within one process, both backends: a claim lives while its
// object holds it, and what a probe, a second claim and a take-over find.
#include <gtest/gtest.h>

#include <string>

#include "platform/ClaimFile.h"
#include "platform/Files.h"
#include "support/TempDir.h"

namespace {

using platform::ClaimFile;
using platform::ClaimStatus;
using testing_support::TempDir;

// A held claim cannot even be read on Windows: its line shows once it is left.
TEST(ClaimFile, LivesWhileHeldAndIsTakenOverOnlyAsSeen) {
  TempDir dir;
  const std::string path = dir.File("79001234567.claim");
  ClaimFile holder;
  ASSERT_EQ(holder.Create(path).status, ClaimStatus::Held);
  ClaimFile other;
  EXPECT_EQ(other.Create(path).status, ClaimStatus::HeldByLiving);
  EXPECT_EQ(other.TakeOver(path, "").status, ClaimStatus::HeldByLiving);
  EXPECT_EQ(ClaimFile::Probe(path).status, ClaimStatus::HeldByLiving);
  EXPECT_EQ(ClaimFile::Probe(path).status, ClaimStatus::HeldByLiving) << "a probe kept no lock";

  holder.Leave();
  const platform::ClaimFinding left = ClaimFile::Probe(path);
  EXPECT_EQ(left.status, ClaimStatus::Abandoned);
  EXPECT_EQ(left.line.rfind(std::to_string(platform::CurrentProcessId()) + " ", 0), 0u)
      << left.line;
  EXPECT_EQ(other.Create(path).status, ClaimStatus::Abandoned) << "never over an existing file";

  const platform::ClaimFinding changed = other.TakeOver(path, "1 somewhere else");
  EXPECT_EQ(changed.status, ClaimStatus::Abandoned);
  EXPECT_EQ(changed.line, left.line);
  EXPECT_FALSE(other.IsHeld());
  ASSERT_EQ(other.TakeOver(path, left.line).status, ClaimStatus::Held);
  EXPECT_EQ(holder.TakeOver(path, left.line).status, ClaimStatus::HeldByLiving);

  // Taken over and left again: whoever saw the older line takes it no more.
  other.Leave();
  const platform::ClaimFinding again = ClaimFile::Probe(path);
  EXPECT_EQ(again.status, ClaimStatus::Abandoned);
  EXPECT_NE(again.line, left.line);
  EXPECT_EQ(holder.TakeOver(path, left.line).status, ClaimStatus::Abandoned);
  ASSERT_EQ(holder.TakeOver(path, again.line).status, ClaimStatus::Held);

  EXPECT_TRUE(holder.Remove());
  EXPECT_FALSE(platform::PathExists(path));
  EXPECT_EQ(ClaimFile::Probe(path).status, ClaimStatus::Absent);
  EXPECT_EQ(other.TakeOver(path, again.line).status, ClaimStatus::Absent);
  EXPECT_EQ(other.Create(path).status, ClaimStatus::Held);
}

TEST(ClaimFile, AFolderThatTakesNoFileSaysWhy) {
  TempDir dir;
  const std::string missing = dir.File("missing") + platform::kPathSeparator + "1.claim";
  ClaimFile claim;
  const platform::ClaimFinding found = claim.Create(missing);
  EXPECT_EQ(found.status, ClaimStatus::Failed);
  EXPECT_NE(found.reason, "");
  EXPECT_FALSE(claim.IsHeld());
  EXPECT_FALSE(claim.Remove());
}

}  // namespace
