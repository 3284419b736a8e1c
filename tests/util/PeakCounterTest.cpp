#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "spl/util/AverageCounter.h"
#include "spl/util/DistributionCounter.h"
#include "spl/util/PeakCounter.h"

using spl::AverageCounter;
using spl::DistributionCounter;
using spl::PeakCounter;

TEST(PeakCounter, KeepsTheLargest) {
  PeakCounter counter;
  EXPECT_EQ(counter.getPeak(), -1e38);
  counter.add(-5.0);
  counter.add(-7.0);
  EXPECT_EQ(counter.getPeak(), -5.0);
}
