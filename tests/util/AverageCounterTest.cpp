#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "spl/util/AverageCounter.h"
#include "spl/util/DistributionCounter.h"
#include "spl/util/PeakCounter.h"

using spl::AverageCounter;
using spl::DistributionCounter;
using spl::PeakCounter;

TEST(AverageCounter, SumAndMean) {
  AverageCounter counter;
  for (double x : {1.0, 2.0, 6.0}) counter.add(x);
  EXPECT_EQ(counter.getSum(), 9.0);
  EXPECT_EQ(counter.getAverage(), 3.0);
  AverageCounter copy = counter;
  copy.add(-9.0);
  EXPECT_EQ(copy.getAverage(), 0.0);
  EXPECT_EQ(counter.getAverage(), 3.0);
}

TEST(AverageCounterDeathTest, NoValueStopsTheProcess) {
  AverageCounter counter;
  EXPECT_DEATH(counter.getAverage(), "spl/util/AverageCounter:13: .*1.0 <= _num");
  EXPECT_DEATH(counter.getSum(), "spl/util/AverageCounter:18: .*1.0 <= _num");
}
