// The clock against the fake (natively) and the Win32 implementation (under Wine).
#include <gtest/gtest.h>

#include "tests/platform/implementations.h"

namespace kestrava {
namespace {

class ClockContract : public ::testing::TestWithParam<Implementation<Clock>> {
 protected:
  std::unique_ptr<Clock> clock = GetParam().make();
};

TEST_P(ClockContract, ASleepMovesTheMonotonicCountOnByAtLeastItsLength) {
  const uint64_t before = clock->MonotonicMs();
  clock->Sleep(30);
  const uint64_t after = clock->MonotonicMs();
  EXPECT_GE(after - before, 29u) << "the counter may round down by one";
  EXPECT_LT(after - before, 5000u);
}

TEST_P(ClockContract, LocalTimeIsACalendarTime) {
  const LocalTime now = clock->Now();
  EXPECT_GE(now.year, 2020);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_GE(now.day, 1);
  EXPECT_LE(now.day, 31);
  EXPECT_LE(now.hour, 23);
  EXPECT_LE(now.minute, 59);
  EXPECT_LE(now.second, 60);
}

INSTANTIATE_TEST_SUITE_P(All, ClockContract, ::testing::ValuesIn(ClockImplementations()),
                         ImplementationName());

}  // namespace
}  // namespace kestrava
