// A marker folder deep on a file server: a path of 300 bytes and more
// works as any other.
#include <gtest/gtest.h>

#include <string>

#include "engine/MarkerStore.h"
#include "platform/Files.h"
#include "support/TempDir.h"

namespace {

TEST(LongMarkerFolder, ClaimsAndMarkersBeyond300Bytes) {
  testing_support::TempDir dir;
  std::string folder = dir.Path();
  while (folder.size() < 300) folder += "/" + std::string(50, 'm');
  const CMarkerStore store(folder);
  std::string reason;
  ASSERT_TRUE(store.CheckWritable(reason)) << reason;
  CNumberClaim claim;
  std::string detail;
  ASSERT_EQ(store.Claim("79001234567", false, claim, detail), ClaimOutcome::Claimed) << detail;
  EXPECT_TRUE(claim.Confirm());
  EXPECT_TRUE(platform::PathExists(folder + "/79001234567"));
  CNumberClaim again;
  EXPECT_EQ(store.Claim("79001234567", false, again, detail), ClaimOutcome::Marked);
}

}  // namespace
