// The markers and claims of the duplicate check: where they lie, what a
// claim becomes after a send, and a folder that takes no file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/Engine.h"
#include "engine/MarkerStore.h"
#include "platform/ClaimFile.h"
#include "platform/Files.h"
#include "support/TempDir.h"

namespace {

using testing_support::TempDir;

constexpr char kNumber[] = "79001234567";

class MarkerStoreTest : public ::testing::Test {
 protected:
  MarkerStoreTest() { m_dir.UseAsProgramFolder("varnek.exe"); }

  // The folder beside the program.
  static CMarkerStore Store() { return CMarkerStore(); }

  std::string InPhones(const std::string& name) const {
    return m_dir.File("PHONES") + platform::kPathSeparator + name;
  }

  TempDir m_dir;
};

TEST_F(MarkerStoreTest, MarkersAndClaimsAreNamedByTheDigits) {
  const struct {
    const char* number;
    const char* digits;  // "" for none: no marker, no claim
  } cases[] = {
      {"71234567890", "71234567890"}, {"+7 (123) 456-78-90", "71234567890"},
      {"7XXXXXX0000", "70000"},       {"7\xDF" "1", "71"},  // a Cyrillic letter between
      {"abc", ""},                    {"", ""},
      {"8 (912) 345-67-89", "79123456789"}, {"912 345 67 89", "79123456789"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.number);
    const std::string digits = row.digits;
    EXPECT_EQ(CMarkerStore::KeyOf(row.number), digits);
    EXPECT_EQ(Store().MarkerPath(row.number), digits.empty() ? "" : InPhones(digits));
    EXPECT_EQ(Store().ClaimPath(row.number), digits.empty() ? "" : InPhones(digits + ".claim"));
  }
  const std::string other = m_dir.File("shared");
  EXPECT_EQ(CMarkerStore(other + platform::kPathSeparator).MarkerPath("7-1"),
            other + platform::kPathSeparator + "71");
}

TEST_F(MarkerStoreTest, MarkedNumbersAreDuplicatesAcrossFormats) {
  EXPECT_FALSE(Store().IsMarked(kNumber));
  EXPECT_TRUE(Store().Mark("+7 (900) 123-45-67"));
  EXPECT_TRUE(platform::PathExists(InPhones(kNumber)));
  EXPECT_TRUE(Store().IsMarked(kNumber));
  EXPECT_TRUE(Store().IsMarked("7-900-123-45-67"));
  EXPECT_TRUE(Store().Mark(kNumber)) << "an existing marker stays";
  EXPECT_FALSE(Store().IsMarked("79001234568"));
  EXPECT_TRUE(Store().IsMarked("8 900 123-45-67")) << "the domestic form goes out as 7...";
  ASSERT_TRUE(platform::CreateNewEmptyFile(InPhones("9001234568")));
  EXPECT_TRUE(Store().IsMarked("900 123 45 68")) << "a marker named as the number was written";
  EXPECT_FALSE(Store().Mark("abc"));
  EXPECT_FALSE(Store().IsMarked("abc"));
}

enum class AfterSend { Confirm, Drop, Leave, Nothing };

struct ClaimCase {
  const char* what;
  AfterSend after;
  bool marker;
  bool claimFile;
  ClaimOutcome next;           // a later claim
  ClaimOutcome nextTakingOver;  // a later claim that takes abandoned ones over
};

const ClaimCase kClaimCases[] = {
    {"confirmed: the claim becomes the marker", AfterSend::Confirm, true, false,
     ClaimOutcome::Marked, ClaimOutcome::Marked},
    {"dropped: nothing is left", AfterSend::Drop, false, false, ClaimOutcome::Claimed,
     ClaimOutcome::Claimed},
    {"left: unconfirmed for good", AfterSend::Leave, false, true, ClaimOutcome::Unconfirmed,
     ClaimOutcome::Claimed},
    {"forgotten: left as well", AfterSend::Nothing, false, true, ClaimOutcome::Unconfirmed,
     ClaimOutcome::Claimed},
};

// In a folder deep on a file server: a path of 300 bytes, beyond the old
// limits of 260.
TEST_F(MarkerStoreTest, AClaimEndsAsMarkerNothingOrUnconfirmed) {
  for (const ClaimCase& row : kClaimCases) {
    SCOPED_TRACE(row.what);
    TempDir folder;
    const CMarkerStore store(folder.MakeFolderOfLength(300));
    std::string detail = "stale";
    {
      CNumberClaim claim;
      ASSERT_EQ(store.Claim(kNumber, false, claim, detail), ClaimOutcome::Claimed);
      EXPECT_EQ(detail, "");
      CNumberClaim twin;
      EXPECT_EQ(store.Claim("+" + std::string(kNumber), true, twin, detail),
                ClaimOutcome::HeldElsewhere)
          << "a living holder, taken over by no one";
      if (row.after == AfterSend::Confirm) {
        EXPECT_TRUE(claim.Confirm());
      } else if (row.after == AfterSend::Drop) {
        EXPECT_TRUE(claim.Drop());
      } else if (row.after == AfterSend::Leave) {
        claim.Leave();
      }
    }
    EXPECT_EQ(store.IsMarked(kNumber), row.marker);
    EXPECT_EQ(platform::PathExists(store.ClaimPath(kNumber)), row.claimFile);
    EXPECT_EQ(store.IsUnconfirmed(kNumber), row.next == ClaimOutcome::Unconfirmed);

    CNumberClaim later;
    EXPECT_EQ(store.Claim(kNumber, false, later, detail), row.next);
    if (row.next == ClaimOutcome::Unconfirmed) {
      EXPECT_EQ(detail.rfind(std::to_string(platform::CurrentProcessId()) + " ", 0), 0u)
          << "names the process that left it: " << detail;
    }
    later.Drop();
    CNumberClaim resend;
    EXPECT_EQ(store.Claim(kNumber, true, resend, detail), row.nextTakingOver);
    EXPECT_EQ(!detail.empty(), row.next == ClaimOutcome::Unconfirmed) << "the line taken over";
  }
}

// A run that made the marker and died before it removed the claim: the
// number is a duplicate, whatever the operator asks.
TEST_F(MarkerStoreTest, AMarkerBeatsAnAbandonedClaim) {
  std::string detail;
  {
    CNumberClaim claim;
    ASSERT_EQ(Store().Claim(kNumber, false, claim, detail), ClaimOutcome::Claimed);
  }
  ASSERT_TRUE(Store().Mark(kNumber));
  CNumberClaim again;
  EXPECT_EQ(Store().Claim(kNumber, true, again, detail), ClaimOutcome::Marked);
  EXPECT_FALSE(Store().IsUnconfirmed(kNumber));
}

TEST_F(MarkerStoreTest, ANumberWithoutDigitsIsClaimedWithoutAFile) {
  CNumberClaim claim;
  std::string detail;
  EXPECT_EQ(Store().Claim("abc", false, claim, detail), ClaimOutcome::Claimed);
  EXPECT_TRUE(claim.Confirm());
  EXPECT_FALSE(platform::PathExists(m_dir.File("PHONES")));
}

// "PHONES" a file, or a folder above the marker folder a file: the system's
// reason, and no claim for any number.
TEST_F(MarkerStoreTest, AFolderThatTakesNoFileRefusesClaimsWithTheReason) {
  std::ofstream(m_dir.File("PHONES")) << "not a folder";
  std::ofstream(m_dir.File("file")) << "not a folder";
  const CMarkerStore stores[] = {Store(), CMarkerStore(m_dir.File("file") +
                                                        platform::kPathSeparator + "markers")};
  for (const CMarkerStore& store : stores) {
    SCOPED_TRACE(store.Folder());
    std::string reason;
    EXPECT_FALSE(store.CheckWritable(reason));
    EXPECT_NE(reason, "");
    CNumberClaim claim;
    std::string detail;
    EXPECT_EQ(store.Claim(kNumber, false, claim, detail), ClaimOutcome::Failed);
    EXPECT_EQ(detail, reason);
  }
  CEngine engine;
  engine.m_checkDuplicates = 1;
  std::string reason;
  EXPECT_FALSE(engine.CheckMarkerFolder(reason));
  EXPECT_NE(reason, "");
  engine.m_checkDuplicates = 0;
  EXPECT_TRUE(engine.CheckMarkerFolder(reason)) << "nothing to write without the check";
  engine.Teardown(SettingsAtTeardown::Keep);
}

TEST_F(MarkerStoreTest, TheCheckMakesTheFolderWithItsParentsAndLeavesItEmpty) {
  const std::string deep = m_dir.File("a") + platform::kPathSeparator + "b";
  const CMarkerStore store(deep + platform::kPathSeparator + "markers");
  std::string reason;
  ASSERT_TRUE(store.CheckWritable(reason)) << reason;
  EXPECT_TRUE(std::filesystem::is_directory(store.Folder()));
  EXPECT_TRUE(std::filesystem::is_empty(store.Folder()));
}

}  // namespace
