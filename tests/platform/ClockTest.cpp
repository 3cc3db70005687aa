#include <gtest/gtest.h>

#include <cstdint>

#include "platform/Clock.h"

namespace {

uint32_t s_fakeTick = 0;
uint32_t FakeTick() { return s_fakeTick; }

platform::LocalTime FakeMidnight() {
  platform::LocalTime time;
  time.year = 2026;
  time.month = 12;
  time.day = 7;
  time.hour = 23;
  time.minute = 59;
  time.second = 59;
  time.millisecond = 999;
  return time;
}

class ClockTest : public ::testing::Test {
 protected:
  void TearDown() override {
    platform::SetTickSourceForTests(nullptr);
    platform::SetLocalTimeSourceForTests(nullptr);
  }
};

TEST_F(ClockTest, TickDifferencesSurviveTheWrapAround) {
  platform::SetTickSourceForTests(FakeTick);
  s_fakeTick = 0xFFFFFF00u;
  const uint32_t start = platform::TickMs();
  s_fakeTick = 0x64;
  EXPECT_EQ(platform::TickMs() - start, 0x164u);
  EXPECT_LT(platform::TickMs() - start, 1000u);  // a 1 s limit has not passed
}

// A wait in the system for a span of a test's fast tick lasts that span's
// real time, rounded up: a wait of 0 ms would spin until the limit.
TEST_F(ClockTest, ASpanOfAFastTickIsWaitedInItsRealTimeAndNeverInNone) {
  EXPECT_EQ(platform::RealMsOfTicks(1500), 1500u);
  platform::SetTickSourceForTests(FakeTick, 200);
  EXPECT_EQ(platform::RealMsOfTicks(120000), 600u);
  EXPECT_EQ(platform::RealMsOfTicks(1), 1u);
  EXPECT_EQ(platform::RealMsOfTicks(0), 0u);
  EXPECT_EQ(platform::RealMsOfTicks(UINT32_MAX), 21474837u);
  platform::SetTickSourceForTests(nullptr, 200);
  EXPECT_EQ(platform::RealMsOfTicks(1500), 1500u) << "the real tick runs at its own rate";
}

TEST_F(ClockTest, RealTickAdvancesWithSleep) {
  const uint32_t start = platform::TickMs();
  platform::SleepMs(50);
  const uint32_t elapsed = platform::TickMs() - start;
  EXPECT_GE(elapsed, 30u);  // GetTickCount may step by 16 ms or so
  EXPECT_LT(elapsed, 5000u);
}

TEST_F(ClockTest, LocalTimeCanBeReplacedAndRestored) {
  platform::SetLocalTimeSourceForTests(FakeMidnight);
  const platform::LocalTime fake = platform::Now();
  EXPECT_EQ(fake.year, 2026);
  EXPECT_EQ(fake.day, 7);
  EXPECT_EQ(fake.millisecond, 999);

  platform::SetLocalTimeSourceForTests(nullptr);
  const platform::LocalTime real = platform::Now();
  EXPECT_GE(real.year, 2024);
  EXPECT_GE(real.month, 1);
  EXPECT_LE(real.month, 12);
  EXPECT_GE(real.day, 1);
  EXPECT_LE(real.day, 31);
  EXPECT_LT(real.millisecond, 1000);
  EXPECT_GT(platform::UnixSeconds(), int64_t{1700000000});
}

}  // namespace
