#include <gtest/gtest.h>

#include <cfenv>

#include "spl/util/ScopedNoDenormals.h"

namespace {

// Half of the smallest normal double, computed at run time: 0 when denormals flush.
double halfOfSmallestNormal() {
  volatile double smallest = 2.2250738585072014e-308;
  return smallest * 0.5;
}

TEST(ScopedNoDenormals, FlushesInsideAndRestoresTheCallersMode) {
  if (!spl::ScopedNoDenormals::isSupported()) GTEST_SKIP() << "no flush mode on this processor";
  ASSERT_NE(halfOfSmallestNormal(), 0.0);
  // The rounding mode shares the control register: it must survive the guard.
  ASSERT_EQ(std::fesetround(FE_UPWARD), 0);
  {
    const spl::ScopedNoDenormals guard;
    EXPECT_EQ(halfOfSmallestNormal(), 0.0);
    {
      const spl::ScopedNoDenormals nested;
      EXPECT_EQ(halfOfSmallestNormal(), 0.0);
    }
    EXPECT_EQ(halfOfSmallestNormal(), 0.0) << "a nested guard switched its caller's flushing off";
  }
  EXPECT_EQ(std::fegetround(), FE_UPWARD);
  std::fesetround(FE_TONEAREST);
  EXPECT_NE(halfOfSmallestNormal(), 0.0);
}

}  // namespace
