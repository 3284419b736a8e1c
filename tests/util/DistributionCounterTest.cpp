#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "spl/util/AverageCounter.h"
#include "spl/util/DistributionCounter.h"
#include "spl/util/PeakCounter.h"
#include "tests/support/FailureCheck.h"

using spl::AverageCounter;
using spl::DistributionCounter;
using spl::PeakCounter;

TEST(DistributionCounter, QuartilesAndPercentilesInterpolate) {
  DistributionCounter counter;
  for (double x : {4.0, 1.0, 3.0, 2.0}) counter.add(x);
  EXPECT_EQ(counter.getQuartile(0), 1.0);
  EXPECT_EQ(counter.getQuartile(2), 2.5);
  EXPECT_EQ(counter.getQuartile(4), 4.0);
  EXPECT_EQ(counter.getPercentile(0.25), 1.75);
  EXPECT_EQ(counter.getPercentile(1.0), 4.0);

  DistributionCounter single;
  single.add(-0.5);
  for (unsigned q = 0; q <= 4; ++q) EXPECT_EQ(single.getQuartile(q), -0.5);
  EXPECT_EQ(single.getPercentile(0.37), -0.5);
}

TEST(DistributionCounter, SortsAgainAfterAnAdd) {
  DistributionCounter counter;
  for (double x : {5.0, 3.0, 1.0}) counter.add(x);
  EXPECT_EQ(counter.getQuartile(2), 3.0);
  counter.add(0.0);  // lands in front once sorted
  counter.add(-2.0);
  EXPECT_EQ(counter.getQuartile(0), -2.0);
  EXPECT_EQ(counter.getQuartile(2), 1.0);
  EXPECT_EQ(counter.getQuartile(4), 5.0);
}

TEST(DistributionCounter, QueriesOutsideTheDataFailInsteadOfReadingOutside) {
  DistributionCounter counter;
  EXPECT_SPL_FAILURE(counter.getQuartile(2), "assertion error", "spl/util/DistributionCounter");
  EXPECT_SPL_FAILURE(counter.getPercentile(0.5), "assertion error", "spl/util/DistributionCounter");
  counter.add(1.0);
  counter.add(std::nan(""));
  counter.add(0.0);
  EXPECT_SPL_FAILURE(counter.getQuartile(5), "quartile", "spl/util/DistributionCounter");
  EXPECT_SPL_FAILURE(counter.getPercentile(1.5), "fraction", "spl/util/DistributionCounter");
  EXPECT_SPL_FAILURE(counter.getPercentile(std::nan("")), "fraction",
                     "spl/util/DistributionCounter");
  // NaN sorts after every number.
  EXPECT_EQ(counter.getQuartile(0), 0.0);
  EXPECT_EQ(counter.getQuartile(2), 1.0);
  EXPECT_TRUE(std::isnan(counter.getQuartile(4)));
}
