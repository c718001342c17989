// The performance counter: a nanosecond monotonic clock, the host's virtual
// clock, and injected failures.
#include <gtest/gtest.h>

#include <thread>

#include "host.h"

namespace {

class PerformanceCounterTest : public ::testing::Test {
 protected:
  void SetUp() override { host::Reset(); }
};

TEST_F(PerformanceCounterTest, TheRealClockCountsNanosecondsForward) {
  LARGE_INTEGER frequency, before, after;
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  EXPECT_EQ(frequency.QuadPart, 1000000000);
  ASSERT_TRUE(QueryPerformanceCounter(&before));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_TRUE(QueryPerformanceCounter(&after));
  EXPECT_GE(after.QuadPart - before.QuadPart, 20000000);
  EXPECT_LT(after.QuadPart - before.QuadPart, 20000000000);
}

TEST_F(PerformanceCounterTest, TheVirtualClockMovesOnlyWhenTold) {
  host::UseVirtualClock(60);
  host::SetVirtualTicks(1000);
  LARGE_INTEGER frequency, count;
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  EXPECT_EQ(frequency.QuadPart, 60);
  ASSERT_TRUE(QueryPerformanceCounter(&count));
  EXPECT_EQ(count.QuadPart, 1000);
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_TRUE(QueryPerformanceCounter(&count));
  EXPECT_EQ(count.QuadPart, 1000);
  host::AdvanceVirtualTicks(3);
  ASSERT_TRUE(QueryPerformanceCounter(&count));
  EXPECT_EQ(count.QuadPart, 1003);
  EXPECT_EQ(host::VirtualTicks(), 1003);
}

TEST_F(PerformanceCounterTest, EitherQueryCanBeMadeToFail) {
  LARGE_INTEGER value;
  host::FailPerformanceFrequency(true);
  EXPECT_FALSE(QueryPerformanceFrequency(&value));
  EXPECT_TRUE(QueryPerformanceCounter(&value));
  host::FailPerformanceFrequency(false);
  host::FailPerformanceCounter(true);
  EXPECT_TRUE(QueryPerformanceFrequency(&value));
  EXPECT_FALSE(QueryPerformanceCounter(&value));
  host::UseVirtualClock(1000);
  EXPECT_FALSE(QueryPerformanceCounter(&value));
  host::Reset();
  EXPECT_TRUE(QueryPerformanceCounter(&value));
  EXPECT_GT(value.QuadPart, 0);
}

TEST_F(PerformanceCounterTest, AVirtualClockWithoutFrequencyFails) {
  host::UseVirtualClock(0);
  LARGE_INTEGER value;
  EXPECT_FALSE(QueryPerformanceFrequency(&value));
  EXPECT_FALSE(QueryPerformanceFrequency(nullptr));
  EXPECT_FALSE(QueryPerformanceCounter(nullptr));
}

}  // namespace
