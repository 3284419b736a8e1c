// The meter's readings for signals whose answer is known.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "analysis/StereoMeter.h"

using brisendel::StereoMeter;

// Opposite channels of RMS 0.5: no mid, side at -6 dBFS, correlation -1, whether they
// come as doubles or floats and in however many blocks. A NaN or infinite sample reads
// as silence instead of spoiling every later reading.
TEST(StereoMeter, ReadsKnownSignalsAndSkipsNonFiniteSamples) {
  const std::vector<double> left = {0.5, -0.5, 0.5, -0.5};
  const std::vector<float> right = {-0.5f, 0.5f, -0.5f, 0.5f};
  StereoMeter meter;
  meter.add(left.data(), left.data(), 0);
  meter.add(left.data(), left.data() + 1, 1);  // 0.5 against -0.5
  const std::vector<float> leftFloat = {-0.5f, 0.5f, -0.5f};
  meter.add(leftFloat.data(), right.data() + 1, 3);
  EXPECT_EQ(4u, meter.getNumFrames());
  EXPECT_EQ(-std::numeric_limits<double>::infinity(), meter.getMidRmsDb());
  EXPECT_NEAR(20.0 * std::log10(0.5), meter.getSideRmsDb(), 1e-12);
  EXPECT_DOUBLE_EQ(-1.0, meter.getCorrelation());

  const std::vector<double> damaged = {0.25, std::numeric_limits<double>::quiet_NaN(), 0.25,
                                       std::numeric_limits<double>::infinity()};
  const std::vector<double> silenced = {0.25, 0.0, 0.25, 0.0};
  StereoMeter withBad, withSilence;
  withBad.add(damaged.data(), silenced.data(), 4);
  withSilence.add(silenced.data(), silenced.data(), 4);
  EXPECT_EQ(withSilence.getMidRmsDb(), withBad.getMidRmsDb());
  EXPECT_EQ(withSilence.getSideRmsDb(), withBad.getSideRmsDb());
  EXPECT_DOUBLE_EQ(1.0, withBad.getCorrelation());
  withBad.reset();
  EXPECT_EQ(0u, withBad.getNumFrames());
  EXPECT_EQ(0.0, withBad.getCorrelation());
}
