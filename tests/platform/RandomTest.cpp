#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/Random.h"

namespace {

std::vector<int> Draw(int count) {
  std::vector<int> values;
  for (int i = 0; i < count; ++i) values.push_back(platform::ThreadRand());
  return values;
}

// The C library's rand() from seed 1.
const std::vector<int> kFromSeedOne = {41, 18467, 6334, 26500, 19169};

TEST(Random, SeedOneGivesTheClassicSequence) {
  platform::ThreadRandSeed(1);
  const std::vector<int> values = Draw(5);
  EXPECT_EQ(values, kFromSeedOne);
  const int lowBytes[] = {41, 35, 190, 132};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(values[i] & 0xFF, lowBytes[i]) << i;
}

TEST(Random, EveryNewThreadStartsAtSeedOne) {
  platform::ThreadRandSeed(777);
  Draw(3);
  for (int round = 0; round < 2; ++round) {
    std::vector<int> inThread;
    std::thread worker([&inThread] { inThread = Draw(5); });
    worker.join();
    EXPECT_EQ(inThread, kFromSeedOne) << "thread " << round;
  }
}

TEST(Random, ReseedingRepeatsTheSequence) {
  platform::ThreadRandSeed(12345);
  const std::vector<int> first = Draw(20);
  platform::ThreadRandSeed(12345);
  EXPECT_EQ(Draw(20), first);
  for (int value : first) {
    EXPECT_GE(value, 0);
    EXPECT_LE(value, 32767);
  }
}

}  // namespace
