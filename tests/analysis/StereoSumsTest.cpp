// A band's width and correlation from its three sums, as the tool's analysis and
// the plug-in's view both turn them into values: the limits of identical,
// opposite and one-sided channels, and the rounding a float sum brings.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/StereoSums.h"

using brisendel::StereoSums;

TEST(StereoSums, WidthAndCorrelationOfABand) {
  const double inf = std::numeric_limits<double>::infinity();
  StereoSums s{4, 4, 4};  // identical channels
  EXPECT_EQ(s.sideToMidDb(), -inf);
  EXPECT_EQ(s.correlation(), 1.0);
  s = {4, 4, -4};  // opposite channels
  EXPECT_EQ(s.sideToMidDb(), inf);
  EXPECT_EQ(s.correlation(), -1.0);
  s = {4, 4, 0};  // unrelated channels of equal power
  EXPECT_NEAR(s.sideToMidDb(), 0.0, 1e-12);
  EXPECT_EQ(s.correlation(), 0.0);
  // L = 2 R in phase: mid (3/2 R)², side (1/2 R)²: a ninth.
  s = {4, 1, 2};
  EXPECT_NEAR(s.sideToMidDb(), 10 * std::log10(1.0 / 9), 1e-12);
  EXPECT_NEAR(s.correlation(), 1.0, 1e-12);
  // One channel only: as much side as mid, and no correlation to speak of, so
  // that a plot leaves a gap rather than drawing it as unrelated channels.
  s = {4, 0, 0};
  EXPECT_NEAR(s.sideToMidDb(), 0.0, 1e-12);
  EXPECT_TRUE(std::isnan(s.correlation()));
  s = {0, 0, 0};
  EXPECT_TRUE(std::isnan(s.sideToMidDb()) && std::isnan(s.correlation()));
  // Rounding that pushes LR a hair past sqrt(L² R²) still gives identical channels.
  s = {1, 1, 1.0000001};
  EXPECT_EQ(s.sideToMidDb(), -inf);
  EXPECT_EQ(s.correlation(), 1.0);
}
