#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

#include "spl/proc/LeastSquare.h"

namespace {

using Seq = std::vector<double>;

}  // namespace

TEST(LeastSquare, FitsAnExactLine) {
  spl::LeastSquare fit;
  const double x[] = {0, 1, 2};
  const double y[] = {1, 3, 5};
  fit.fit(x, y, 3);
  EXPECT_DOUBLE_EQ(fit.getSlope(), 2.0);
  EXPECT_DOUBLE_EQ(fit.getIntercept(), 1.0);

  // A longer line far from the origin, where plain double sums would lose digits.
  std::vector<double> xs, ys;
  for (int i = 0; i < 1000; ++i) {
    xs.push_back(1.0e4 + i);
    ys.push_back(-0.25 * (1.0e4 + i) + 7.0);
  }
  fit.fit(xs.data(), ys.data(), 1000);
  EXPECT_NEAR(fit.getSlope(), -0.25, 1e-9);
  EXPECT_NEAR(fit.getIntercept(), 7.0, 1e-5);
}

TEST(LeastSquare, EqualAbscissasGiveNoFiniteLine) {
  spl::LeastSquare fit;
  const double x[] = {2, 2, 2};
  const double y[] = {1, 2, 3};
  fit.fit(x, y, 3);
  EXPECT_FALSE(std::isfinite(fit.getSlope()));
  EXPECT_FALSE(std::isfinite(fit.getIntercept()));
}
