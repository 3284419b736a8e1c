#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "spl/util/Util.h"
#include "tests/support/FailureCheck.h"

TEST(Util, NormalizedToIndexGivesEqualSharesAndClampsOne) {
  EXPECT_EQ(spl::normalizedToIndex(0.0, 201), 0u);
  EXPECT_EQ(spl::normalizedToIndex(0.5, 201), 100u);
  EXPECT_EQ(spl::normalizedToIndex(1.0, 201), 200u);
  EXPECT_EQ(spl::normalizedToIndex(0.25, 201), 50u);
  EXPECT_EQ(spl::normalizedToIndex(0.5, 9), 4u);
  // The lower bound of a share belongs to it.
  EXPECT_EQ(spl::normalizedToIndex(0.5, 2), 1u);
  EXPECT_EQ(spl::normalizedToIndex(std::nextafter(0.5, 0.0), 2), 0u);
  EXPECT_EQ(spl::normalizedToIndex(1.0, 1), 0u);
}

TEST(Util, IndexToNormalizedIsTheCentreAndMapsBack) {
  EXPECT_DOUBLE_EQ(spl::indexToNormalized(3, 9), 3.5 / 9.0);
  for (unsigned count : {1u, 2u, 9u, 201u}) {
    for (unsigned i = 0; i < count; ++i) {
      EXPECT_EQ(spl::normalizedToIndex(spl::indexToNormalized(i, count), count), i);
    }
  }
}

TEST(Util, IndexConversionsFailWithTheirFixedLines) {
  EXPECT_SPL_FAILURE_AT(spl::normalizedToIndex(-0.1, 3), "assertion error", "spl/util/Util", 201);
  EXPECT_SPL_FAILURE_AT(spl::normalizedToIndex(std::nan(""), 3), "assertion error", "spl/util/Util",
                        201);
  EXPECT_SPL_FAILURE_AT(spl::normalizedToIndex(1.5, 3), "assertion error", "spl/util/Util", 202);
  EXPECT_SPL_FAILURE_AT(spl::normalizedToIndex(0.5, 0), "assertion error", "spl/util/Util", 203);
  EXPECT_SPL_FAILURE_AT(spl::indexToNormalized(0, 0), "assertion error", "spl/util/Util", 208);
  EXPECT_SPL_FAILURE_AT(spl::indexToNormalized(3, 3), "assertion error", "spl/util/Util", 210);
}

TEST(Util, RoundToSignificant) {
  EXPECT_EQ(spl::roundToSignificant(0.0, 3), 0.0);
  EXPECT_EQ(spl::roundToSignificant(-0.0, 3), 0.0);
  // The plug-in's display values: steps i / 100 times 100 come out as whole numbers.
  for (int i = 0; i <= 200; ++i) {
    EXPECT_EQ(spl::roundToSignificant(i / 100.0 * 100.0, 3), static_cast<double>(i)) << i;
  }
  EXPECT_EQ(spl::roundToSignificant(5.0, 1), 5.0);
  EXPECT_EQ(spl::roundToSignificant(12345.0, 3), 12300.0);
  EXPECT_EQ(spl::roundToSignificant(-12355.0, 3), -12400.0);
  EXPECT_DOUBLE_EQ(spl::roundToSignificant(0.0012345, 2), 0.0012);
  EXPECT_EQ(spl::roundToSignificant(999.7, 3), 1000.0);
}

TEST(Util, RoundToSignificantLeavesNonFiniteValuesAlone) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(spl::roundToSignificant(inf, 3), inf);
  EXPECT_EQ(spl::roundToSignificant(-inf, 3), -inf);
  EXPECT_TRUE(std::isnan(spl::roundToSignificant(std::nan(""), 3)));
}

TEST(Util, DecibelConversions) {
  EXPECT_DOUBLE_EQ(spl::decibelToLinear(0.0), 1.0);
  EXPECT_DOUBLE_EQ(spl::decibelToLinear(20.0), 10.0);
  EXPECT_NEAR(spl::decibelToLinear(-4.0), 0.630957, 1e-6);
  EXPECT_DOUBLE_EQ(spl::linearToDecibel(0.1), -20.0);
  EXPECT_DOUBLE_EQ(spl::linearToDecibel(0.0), -200.0);
  EXPECT_NEAR(spl::linearToDecibel(spl::decibelToLinear(-6.5)), -6.5, 1e-12);
  EXPECT_SPL_FAILURE_AT(spl::linearToDecibel(-1.0), "value must be positive.", "spl/util/Util", 53);
}

TEST(Util, IsPowerOfTwo) {
  EXPECT_FALSE(spl::isPowerOfTwo(0));
  EXPECT_FALSE(spl::isPowerOfTwo(1));
  EXPECT_TRUE(spl::isPowerOfTwo(2));
  EXPECT_FALSE(spl::isPowerOfTwo(3));
  EXPECT_TRUE(spl::isPowerOfTwo(4096));
  // Halving 5 or 6 in whole numbers would pass through 2; neither is a power of two.
  EXPECT_FALSE(spl::isPowerOfTwo(5));
  EXPECT_FALSE(spl::isPowerOfTwo(6));
  EXPECT_FALSE(spl::isPowerOfTwo(4097));
  EXPECT_TRUE(spl::isPowerOfTwo(0x80000000u));
}
